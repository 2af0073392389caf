// One generation run on one document: the page loop, the scan of each page for headings, and
// their assembly and insertion into the outline. The run reads the build settings it is given
// and keeps its own state, so the settings stay a plain value.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/engine/contents_lines.h"
#include "plugin/outline/bookmark_node.h"
#include "plugin/rules/pattern_matcher.h"
#include "plugin/rules/text_run.h"
#include "plugin/values/fixed_rect.h"
#include "sdk/font_names.h"
#include "sdk/handles.h"
#include "sdk/progress_monitor.h"
#include "sdk/run_outcome.h"

namespace sorvane {

class BookmarkBuilder;
struct LevelRule;
class PageContent;

// The text runs of one page as the page scan reads them: a page's content, or a copy of its
// runs kept for many scans (rule learning).
class PageRunSource {
public:
  virtual ~PageRunSource() = default;
  virtual size_t runCount() const = 0;
  // Run `k` as PageContent::buildTextRun makes it; false for a run that cannot be read or is
  // empty.
  virtual bool buildRun(size_t k, bool trim, TextRun &out) const = 0;
  // The table-of-contents rows among all the page's runs.
  virtual ContentsRows contentsRows() const = 0;
  // Run `k` as buildRun makes it, built into `scratch` or (a source that keeps its runs) the
  // kept run itself; null where buildRun answers false.
  virtual const TextRun *viewRun(size_t k, bool trim, TextRun &scratch) const {
    return buildRun(k, trim, scratch) ? &scratch : nullptr;
  }
};

// How many runs past a run the scan reads to tell whether it is part of a heading's title
// (a logo or a code word is a few runs).
constexpr size_t kInlineLookahead = 24;
// The most characters (blanks aside) of other fonts' text a title takes in at one place.
constexpr size_t kInlineCharacters = 40;

class GenerationRun {
public:
  // A run with `settings`, which must outlive it. Without a monitor, the host's document
  // progress monitor is used.
  explicit GenerationRun(const BookmarkBuilder &settings, const ProgressMonitor *monitor = nullptr,
                         void *monitorData = nullptr);

  // Scans the page range of `doc` and inserts the headings found; what happened is in the
  // outcome. Never throws a HostError: a page that cannot be read is reported (a note) and
  // skipped, a failure while inserting ends the run with what was inserted kept.
  RunOutcome run(DocHandle doc);

  // The steps of a run, for tests.
  void scanPage(PageContent &page, int32_t pageIndex);
  void scanRuns(const PageRunSource &page, int32_t pageIndex);
  void insertHeadings(DocHandle doc);
  // The headings found, as insertion places them: sorted when asked, neighbouring duplicates
  // and (unless kept) headings without a parent level dropped, titles numbered and formatted.
  // Each tree starts at a top-level heading (or
  // an orphan kept). `anyTopLevel` tells whether some heading of the first level was found.
  std::vector<BookmarkNode> assembleTrees(bool &anyTopLevel);
  std::vector<BookmarkNode> &found() { return m_found; }
  const RunOutcome &outcome() const { return m_outcome; }

private:
  struct Line {
    std::string text;
    FixedRect lineBox; // of the first run: where the bookmark leads
    FixedRect extent;  // of every run of the line, rows included
    FixedRect lastRunBox;
    Atom font = Atom::Null; // of the first run
    double size = 0;
  };
  void filterLevels(const TextRun &run, std::vector<int32_t> &candidates, bool lineStart,
                    bool newRow) const;
  void flushLine(std::vector<int32_t> &candidates);
  // Adds `run` to the line being built, with a blank where the gap before it shows.
  void appendRun(const TextRun &run, bool newRow);
  // Where the runs from `k` on that none of `levels` takes stop being part of the line's title
  // (past `k`: see inlineEnd), for the levels whose titles take inline runs; those levels go
  // into `kept`. `k` (nothing kept) when the line ends at run `k`.
  size_t inlineStretch(const PageRunSource &page, size_t k, const std::vector<int32_t> &levels,
                       std::vector<int32_t> &kept) const;
  // Past the runs from `k` on that `level` does not take and that sit inside the line's row
  // like a code word or a logo's letter: up to the next run it takes on the row, or to the
  // row's end when they are a word or two. `k` or 0 when they are not inline.
  size_t inlineEnd(const PageRunSource &page, size_t k, const LevelRule &level) const;
  bool endsLineBefore(const TextRun &run, const std::vector<int32_t> &candidates);
  void scanPageRange(DocHandle doc);
  // Per page of `first`..`last`: whether its text must be read (false only for a page whose
  // fonts no level names).
  std::vector<bool> pagesToRead(DocHandle doc, int32_t first, int32_t last);
  // The fonts whose runs can be part of a heading; nothing when a level takes any font.
  std::optional<RunFontFilter> runFontFilter() const;
  void drop(const BookmarkNode &node, DropReason reason);
  void placed(const BookmarkNode &node);
  void placedTree(const BookmarkNode &tree); // the tree's nodes, depth first

  const BookmarkBuilder &m_settings;
  const ProgressMonitor *m_monitor;
  void *m_monitorData;
  std::vector<BookmarkNode> m_found;
  int32_t m_currentPage = 0;
  Line m_line;
  RunOutcome m_outcome;
  ContentsRows m_contents; // of the page being scanned, when contents lines are skipped
  StopWords m_stopWords;   // compiled once for the run
};

// Advances the monitor and keeps windows drawn; nothing without a monitor.
void pumpPaintMessages(const ProgressMonitor *monitor, int32_t value, void *clientData);
// Throws HostError(Cancelled) when the user asked `monitor` to stop.
void stopIfAsked(const ProgressMonitor *monitor, void *clientData);

} // namespace sorvane
