// The headings of a document without an outline or a usable table of contents, told by their
// text styles: the body style (most text), then the styles that stand out from it as headings,
// a depth for each (and for each depth of numbering within one). The rows chosen are an outline
// to learn rules from, as from a document's own.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "plugin/engine/kept_text.h"
#include "plugin/engine/rule_learning.h"

namespace sorvane {

struct HeadingStyle {
  int32_t depth = 1;
  std::string font; // of its rows' first runs, without a subset prefix
  double size = 0;
  std::string numbering; // the pattern of its numbers ("[0-9]+\.[0-9]+"), empty for none
  int32_t rows = 0;
  std::vector<std::string> samples; // the first few titles
};

struct StyleOutline {
  std::string bodyFont;
  double bodySize = 0;
  std::vector<HeadingStyle> styles; // shallowest first
  std::vector<OutlineMark> marks;   // the headings, in page order
  int32_t runningHeads = 0;         // rows left out as running heads and footers
  int32_t labelRows = 0;            // rows left out as labels above a larger title
};

// At most `maxLevels` heading styles.
StyleOutline readStyleHeadings(const KeptText &text, int32_t maxLevels = 4);

// A text style's share of a document's text, as `fonts` shows it. Its lines are the stretches
// of a row in it, rows as generation reads them.
struct TextStyleCount {
  std::string font; // as the document names it, subset prefix and all
  double size = 0;  // to the tenth of a point
  int32_t lines = 0;
  int64_t characters = 0;
  int32_t firstPage = 0;                // zero-based
  std::map<int32_t, int32_t> leftEdges; // whole points -> lines starting there
  std::vector<std::string> samples;     // its first different lines
};

// The styles of the pages `text` holds, the largest first (then by font name).
std::vector<TextStyleCount> countTextStyles(const KeptText &text, size_t samples = 3);

} // namespace sorvane
