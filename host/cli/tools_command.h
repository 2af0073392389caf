// `sorvane print` and `sorvane delete-all`: the plug-in's menu commands on a file.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "host/cli/cli.h"

namespace sorvane::cli {

ExitCode runPrint(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);
ExitCode runDeleteAll(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace sorvane::cli
