// `sorvane inspect FILE.pdf --page N [--json] [--password PASSWORD]`: the text runs of a page.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "host/cli/cli.h"

namespace sorvane::cli {

ExitCode runInspect(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace sorvane::cli
