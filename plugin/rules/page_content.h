// The text runs of one page, gathered from the host's page content in content order, and the
// TextRun records the level rules test.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/rules/text_run.h"
#include "plugin/values/fixed_rect.h"
#include "sdk/handles.h"

namespace sorvane {

// Where one run sits: its text element, its index there and the element's ordinal among the
// page's text elements.
struct RunRef {
  ElementHandle element;
  int32_t kind = 1; // always a run
  FixedRect box;
  int32_t runIndex = 0;
  int32_t ordinal = 0;
};

// One page being scanned. The page is acquired here and, with its content, released when the
// handle ends; run references stay valid as long as the handle. Host failures throw HostError.
class PageContent {
public:
  PageContent(DocHandle doc, int32_t pageIndex);
  ~PageContent();
  PageContent(const PageContent &) = delete;
  PageContent &operator=(const PageContent &) = delete;

  // Collects the runs of the page in content order, walking into forms and marked content;
  // with an area, only runs the host finds overlapping it. False when there is no page.
  bool gatherRuns(const std::optional<FixedRect> &area);
  const std::vector<RunRef> &runs() const { return m_runs; }
  // Runs left out because their box lies farther from the page's origin than the rules'
  // coordinates reach (kMaxCoordinate points).
  int32_t runsOutOfReach() const { return m_outOfReach; }

  // The run as the rules see it. With `trim`, leading blanks leave the text and the box's left
  // edge moves to the first character after them. False (and `out.valid` false) for a run
  // whose text cannot be read or is empty.
  bool buildTextRun(const RunRef &ref, bool trim, TextRun &out) const;
  // The run untrimmed, and what trimming would change: the left edge of its first character
  // after the leading blanks, and how many blank bytes lead. One reading for both forms.
  bool buildTextRunBothWays(const RunRef &ref, TextRun &out, Fixed &trimmedLeft,
                            uint32_t &leadingBlanks) const;

  PageHandle page() const { return m_page; }

private:
  bool readRun(const RunRef &ref, bool measureTrim, TextRun &out, Fixed &trimmedLeft,
               uint32_t &leadingBlanks) const;
  void walk(ContentHandle list);
  void visit(ElementHandle element);

  PageHandle m_page;
  ContentHandle m_content;
  std::optional<FixedRect> m_area;
  std::vector<RunRef> m_runs;
  int32_t m_ordinal = 0;
  int32_t m_outOfReach = 0;
};

// Run text as titles take it: NUL and control characters dropped, tabs and line ends as
// blanks, anything that is not UTF-8 made so. Every character that shows stays.
std::string cleanRunText(std::string_view text);

// −1 when box `a` lies on a line above box `b`, 1 when `b` lies above `a`, 0 for the same line.
int compareLines(const FixedRect &a, const FixedRect &b);

} // namespace sorvane
