// `sorvane settings new FILE.svb` and `sorvane settings show FILE.svb`.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "host/cli/cli.h"

namespace sorvane::cli {

ExitCode runSettings(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace sorvane::cli
