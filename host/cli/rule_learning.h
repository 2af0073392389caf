// Level rules suggested for a document without an outline, from its text styles: the body
// style, then the heading styles that stand out from it. (Rules learned from an outline are the
// plug-in's: plugin/engine/rule_learning.h.)
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/pdf/page_text.h"

namespace sorvane::cli {

// One line of a page as a reader sees it: runs that follow each other on one row.
struct TextLine {
  int page = 0; // zero-based
  std::string text;
  struct Style {
    std::string font; // as the run names it
    double size = 0;
  };
  std::vector<Style> styles; // of its runs, in order
  HostRect box;
};

// The lines of a page, in content order.
std::vector<TextLine> pageLines(const host::PageText &text, int page);

struct LearnedLevel {
  int depth = 1;
  int bookmarks = 0;              // of this depth in the outline
  int placed = 0;                 // whose heading was found and fits the rule
  std::vector<std::string> fonts; // without subset prefixes
  double size = 0;
  double tolerance = 0.3;
  std::string pattern; // a regular expression for the numbering, or empty
  bool multiline = false;
  bool removeNumbers = false; // the headings are numbered, the bookmarks are not
  std::optional<std::pair<double, double>> indent; // left edge and tolerance, in points
  int otherLines = 0;                              // lines of the document the rule also takes
  int lines = 0;                                   // suggested rules: the lines the level takes
  std::vector<std::string> samples;
};

struct Learned {
  std::vector<LearnedLevel> levels;
  // Lines the rules would take that repeat and are no bookmark's title ("See also").
  std::vector<std::string> stopWords;
  int bookmarks = 0; // in the outline
  int placed = 0;
};

// Case, blanks, punctuation and line-end hyphens do not count; what is left, lower case.
std::string normalizedTitle(const std::string &text);
// `normalized` without a leading number ("1 2", "a 3", "chapter 4", "iv").
std::string withoutNumber(const std::string &normalized);

// Rules for a document without an outline: the body style (most text), then the heading
// styles (larger or bolder than the body, short lines, not at the top or bottom of most pages,
// not ending in page numbers), split by the depth of their numbering, the largest first; at
// most `maxLevels`.
Learned suggestRules(const std::vector<TextLine> &lines, int maxLevels);

// A regular expression that matches `text` as a whole line, blanks as any run of blanks.
std::string wholeLinePattern(const std::string &text);

// `learned` as a settings file ("sorvane-cabinet" JSON).
nlohmann::ordered_json settingsFile(const Learned &learned);

} // namespace sorvane::cli
