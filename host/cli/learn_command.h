// `sorvane learn`: level rules written from the outline a document already has.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/cli/cli.h"
#include "host/pdf/pdf_document.h"

namespace sorvane::cli {

ExitCode runLearn(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);
// `sorvane suggest`: level rules proposed for a document without an outline.
ExitCode runSuggest(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

struct SuggestOptions {
  std::string input;
  std::string password;
  std::string output; // the settings file written; not used when the rules go into a text
  int maxLevels = 4;
  bool json = false; // the report as JSON
};
// What `suggest` does: the rules go into `rules` as a settings file's text when given (the
// rules of one `generate --auto` run, which leave nothing behind), else into the output file.
ExitCode suggestRules(const SuggestOptions &options, std::string *rules, std::ostream &out,
                      std::ostream &err);

// The text styles of pages `first` to `last` (from 1) of `document`, rows read as generation
// reads them: a JSON array of {font, size, lines, characters, firstPage, leftEdges, samples},
// the largest first. A page that cannot be read is told on `err`.
nlohmann::json readTextStyles(std::unique_ptr<host::PdfDocument> document, const std::string &input,
                              int first, int last, int &unread, std::ostream &err);

} // namespace sorvane::cli
