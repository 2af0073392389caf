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
// The same, the rules going into `rules` as a settings file's text instead of a file (`args`
// then take no -o): the rules of one `generate --auto` run, which leave nothing behind.
ExitCode suggestRulesInto(const std::vector<std::string> &args, std::string &rules,
                          std::ostream &out, std::ostream &err);

} // namespace sorvane::cli
