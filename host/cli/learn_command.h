// `sorvane learn`: level rules written from the outline a document already has.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "host/cli/cli.h"

namespace sorvane::cli {

ExitCode runLearn(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);
// `sorvane suggest`: level rules proposed for a document without an outline.
ExitCode runSuggest(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace sorvane::cli
