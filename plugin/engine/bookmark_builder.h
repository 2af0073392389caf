// The build settings of generation runs: which pages are scanned, the heading levels looked
// for, the stop words, and where new bookmarks go. A plain value: copies are deep, and the run
// (generation_run.h) keeps its own state.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "plugin/rules/level_rule.h"
#include "plugin/values/fixed_rect.h"
#include "plugin/values/record_fields.h"
#include "plugin/values/text_values.h"
#include "sdk/handles.h"
#include "sdk/progress_monitor.h"
#include "sdk/run_outcome.h"

namespace sorvane {

enum class InsertType : int32_t { Before = 0, After = 1, Replace = 2 };

class BookmarkBuilder {
public:
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
  // A heading whose parent level was not found goes under the nearest earlier heading of a
  // higher level, or at the top, instead of being dropped.
  bool keepOrphanHeadings = false;
  // Lines of a table of contents (a page number standing apart at their end, three or more on
  // the page) are not headings.
  bool skipContentsLines = false;

  // The reset values; no levels, no stop words; the margins stay.
  void reset();
  // The other's settings (levels deep-copied, margins too).
  void copyFrom(const BookmarkBuilder &other) { *this = other; }

  bool write(CabinetHandle cab) const;
  // Without a Cabinet: reset and false. Missing keys take the reader's defaults
  // (SkipDupBookmarks false); missing level entries are skipped.
  bool read(CabinetHandle cab);
  // What is wrong in a build settings Cabinet, each with its key path: keys that are no
  // setting, values of the wrong type or out of range, patterns and stop words that are not
  // valid regular expressions. Reading goes on all the same (the wrong values are ignored).
  static SettingsProblems check(CabinetHandle cab);
  static const Fields<BookmarkBuilder> &fields();
  bool writeNamed(std::string_view name, CabinetHandle parent) const;
  bool readNamed(std::string_view name, CabinetHandle parent);

  // Runs a generation on `doc` with these settings (generation_run.h). The outcome's `ran` is
  // false when there are no levels (nothing is done).
  RunOutcome generate(DocHandle doc, const ProgressMonitor *monitor = nullptr,
                      void *monitorData = nullptr) const;

  // Whether a finished line holds a stop word, by the stop-word settings.
  bool isStopWord(std::string_view text) const;
};

} // namespace sorvane
