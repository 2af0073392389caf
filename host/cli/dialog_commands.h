// The commands that run a plug-in command through its dialog: `validate` and `sort`.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "host/cli/cli.h"

namespace sorvane::cli {

ExitCode runValidate(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);
ExitCode runSort(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace sorvane::cli
