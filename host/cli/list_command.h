// `sorvane list FILE.pdf [--json] [--password PASSWORD]`: the outline as a tree or as JSON.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "host/cli/cli.h"

namespace sorvane::cli {

ExitCode runList(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace sorvane::cli
