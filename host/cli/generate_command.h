// `sorvane generate` (one file) and `sorvane batch` (many files): bookmarks from level rules.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "host/cli/cli.h"

namespace sorvane::cli {

ExitCode runGenerate(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);
ExitCode runBatch(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace sorvane::cli
