// Level rules learned from a document's own outline. Each bookmark's heading is looked for on
// the page it leads to; the headings of each outline depth give candidate rules (sizes, fonts,
// numbering, letter case, left edge, rows); and whole rule sets are judged by running the page
// scan itself over the document's kept text and comparing the bookmarks it would make with the
// outline. The best set found within a bounded search is the result.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/engine/bookmark_builder.h"
#include "plugin/engine/kept_text.h"

namespace sorvane {

// A bookmark of the outline learned from.
struct OutlineMark {
  int32_t depth = 1; // 1: top level
  std::string title;
  int32_t page = -1; // zero-based; -1 when it leads to no page of the document
};

// A bookmark the page scan would make: its final title, page and depth in the new outline.
struct SimulatedBookmark {
  std::string title;
  int32_t page = 0;
  int32_t depth = 1;
  int32_t level = 0; // the rule set's level that found it
};

// How a set of bookmarks compares with the outline: matched on comparable title and page, each
// outline bookmark once (one at its own depth first).
struct Reproduction {
  int32_t expected = 0; // outline bookmarks that lead to a page
  int32_t made = 0;
  int32_t matched = 0;
  int32_t atDepth = 0;  // matched at the depth the outline has them
  int32_t sameText = 0; // matched with the very title (numbers and all), blanks and case aside
  std::vector<OutlineMark> missed;      // outline bookmarks not made
  std::vector<SimulatedBookmark> extra; // made, not in the outline
  double f1() const { return expected + made ? 2.0 * matched / (expected + made) : 1.0; }
};

struct LearnedLevelReport {
  int32_t depth = 1;
  int32_t bookmarks = 0;            // of this depth in the outline (with a page)
  int32_t located = 0;              // whose heading was found on its page
  int32_t runIn = 0;                // of those, found at the start of a longer row
  int32_t made = 0;                 // bookmarks the learned rules make at this depth
  int32_t matched = 0;              // of those, bookmarks of the outline
  std::string takes;                // what the level takes, in words
  std::vector<std::string> samples; // the first titles it makes
};

struct LearnResult {
  BookmarkBuilder settings; // no levels: nothing could be learned
  std::vector<LearnedLevelReport> levels;
  Reproduction reproduction; // of the outline by `settings`
  int32_t located = 0;       // bookmarks whose heading was found
  int32_t setsTried = 0;     // rule sets the search scanned the document with
  // The rules make so many bookmarks more than the outline has that they are no use.
  bool runaway = false;
};

// A title as titles are compared: ligatures and compatibility forms as plain letters, dashes
// and quotes as ASCII, blanks collapsed, ASCII letters in lower case, a line-end hyphen joined,
// and (`withoutNumber`) a leading section number ("2.1 ", "A.3. ") left out; `withoutLabel` also
// leaves out a label with its number ("Chapter 1. ", "Part IV: ", "Appendix B "), unless that is
// all the title holds.
std::string comparableTitle(std::string_view title, bool withoutNumber = true,
                            bool withoutLabel = false);

// What a generation with `settings` would add to the outline of the document whose text is
// `text` (no more than `limit` headings are gathered; `overflow` says when there were more).
std::vector<SimulatedBookmark> simulateGeneration(const BookmarkBuilder &settings,
                                                  const KeptText &text, size_t limit,
                                                  bool &overflow);

Reproduction compareWithOutline(const std::vector<SimulatedBookmark> &made,
                                const std::vector<OutlineMark> &marks);

// The rules that best reproduce `marks` from `text`. Bounded: at most `maxSets` rule sets
// are tried.
LearnResult learnRules(const KeptText &text, const std::vector<OutlineMark> &marks,
                       int32_t maxSets = 160);

} // namespace sorvane
