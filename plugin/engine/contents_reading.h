// A document's printed table of contents read as an outline: its entries (title, printed page
// number, depth by indentation or numbering), their printed page numbers mapped to pages, so
// that rules can be learned from it as from an outline when the document has none.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plugin/engine/kept_text.h"
#include "plugin/engine/rule_learning.h"

namespace sorvane {

struct ContentsEntry {
  std::string title;
  int32_t printed = -1; // the page number printed at its end; -1 when not arabic (front matter)
  int32_t roman = -1;   // the value of a roman page number (front matter), else -1
  int32_t depth = 1;
  int32_t contentsPage = 0; // where the entry is printed, zero-based
  double left = 0;          // of its first row
  double numberRight = 0;   // the right edge of its page number
  double size = 0;          // the font size its row starts with
};

struct ContentsOutline {
  std::vector<int32_t> contentsPages; // zero-based
  std::vector<ContentsEntry> entries;
  int32_t offset = 0; // page index = printed number + offset
  int32_t placed = 0; // entries whose title was found on the page their number gives, or near it
  int32_t moved = 0;  // of those, found some pages away from it (contents not brought up to date)
  std::vector<OutlineMark> marks; // the entries with a page, as an outline
  // The contents list only chapters; the numbered sections of their pages were added.
  bool sectionsAdded = false;
};

// Reads the contents pages among the first `searchPages` pages of `text`: pages with at least
// ContentsRows::kMinRows rows ending in a page number standing apart. An entry whose title takes
// two rows is read as one.
ContentsOutline readContents(const KeptText &text, int32_t searchPages = 60);

} // namespace sorvane
