// The build settings of a generation run and the run itself: scanning pages for headings and
// inserting them into the outline as bookmark trees.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/outline/bookmark_node.h"
#include "plugin/rules/level_rule.h"
#include "plugin/rules/text_values.h"
#include "sdk/handles.h"
#include "sdk/progress_monitor.h"

namespace sorvane {

class PageContent;

enum class InsertType : int32_t { Before = 0, After = 1, Replace = 2 };

class BookmarkBuilder {
public:
  // ---- build settings (copied, written and read)
  std::vector<LevelRule> levels; // element 0 is the top level
  bool skipDupBookmarks = true;
  int32_t firstPage = 0;   // zero-based
  int32_t lastPage = -1;   // zero-based; negative or past the end: the last page
  bool useMargins = false; // stored only
  int32_t insertType = int32_t(InsertType::After);
  FixedRect margins; // stored only; a reset leaves it alone
  bool ignoreStopWords = false;
  StringList stopWords;
  bool stopWordsMatchCase = true;
  bool stopWordsMatchWholeWords = true;
  bool stopWordsUseRegExp = false;
  bool sortText = false;

  BookmarkBuilder() = default;
  BookmarkBuilder(const BookmarkBuilder &other) { copyFrom(other); }
  BookmarkBuilder &operator=(const BookmarkBuilder &other) {
    copyFrom(other);
    return *this;
  }

  // The reset values; no levels, no stop words; the margins stay.
  void reset();
  // The other's settings (levels deep-copied, margins too); the run state is not copied.
  void copyFrom(const BookmarkBuilder &other);

  bool write(CabinetHandle cab) const;
  // Without a Cabinet: reset and false. Missing keys take the reader's defaults
  // (SkipDupBookmarks false); missing level entries are skipped.
  bool read(CabinetHandle cab);
  bool writeNamed(std::string_view name, CabinetHandle parent) const;
  bool readNamed(std::string_view name, CabinetHandle parent);

  // ---- the run
  // Scans the page range of `doc` and inserts the headings found. False only when there are
  // no levels (nothing is done). Host errors are shown as a note and end the run; a page that
  // cannot be read is reported and skipped.
  bool generate(DocHandle doc);
  // The batch command's monitor; without one, the host's document progress monitor is used.
  void setMonitor(const ProgressMonitor *monitor, void *clientData);
  // Bookmarks the last run inserted.
  int32_t createdCount() const { return m_createdCount; }

  // The steps of a run, for the driver and for tests.
  void scanPage(PageContent &page);
  void insertHeadings(DocHandle doc);
  bool isStopWord(std::string_view text) const;
  const std::vector<BookmarkNode> &found() const { return m_found; }
  std::vector<BookmarkNode> &found() { return m_found; }
  void setCurrentPage(int32_t page) { m_currentPage = page; }

private:
  struct Line {
    std::string text;
    FixedRect lineBox;
    FixedRect lastRunBox;
  };
  void filterLevels(const TextRun &run, std::vector<int32_t> &candidates, bool lineStart,
                    bool newRow) const;
  void flushLine(std::vector<int32_t> &candidates);

  // ---- run state (never copied or stored)
  std::vector<BookmarkNode> m_found;
  int32_t m_currentPage = 0;
  int32_t m_createdCount = 0;
  const ProgressMonitor *m_monitor = nullptr;
  void *m_monitorData = nullptr;
  Line m_line;
};

// Advances the monitor and keeps windows drawn; nothing without a monitor.
void pumpPaintMessages(const ProgressMonitor *monitor, int32_t value, void *clientData);

} // namespace sorvane
