// `sorvane fonts`: the text styles of a whole document, the first thing to know when writing
// level rules.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "host/cli/cli.h"

namespace sorvane::cli {

ExitCode runFonts(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace sorvane::cli
