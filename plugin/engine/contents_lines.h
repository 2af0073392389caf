// Table-of-contents lines: a row that ends with a page number standing apart from its title
// (after dot leaders, or after a gap wider than a few blanks), the numbers of such rows lined up
// in one column (or at the right edge of the page's text), on a page that holds at least three
// such rows.
#pragma once

#include <vector>

#include "plugin/rules/text_run.h"
#include "plugin/values/fixed_rect.h"

namespace sorvane {

class ContentsRows {
public:
  // How many such rows make a page a contents page: one lonely "Chapter 3 .... 5" is not.
  static constexpr int kMinRows = 3;

  // Finds the contents rows among `runs` (one page's runs, in any order).
  explicit ContentsRows(const std::vector<TextRun> &runs);
  ContentsRows() = default;

  // True when the row that `lastRunBox` stands on is a contents row and its page number lies
  // at or to the right of it.
  bool endsContentsRow(const FixedRect &lastRunBox) const;
  size_t count() const { return m_rows.size(); }

  struct Row {
    double bottom = 0, top = 0;
    double left = 0; // of the row's first piece
    double numberLeft = 0;
    double numberRight = 0;
    int number = -1; // the number's value when it is arabic
    bool leaders = false;
  };

private:
  std::vector<Row> m_rows;
};

} // namespace sorvane
