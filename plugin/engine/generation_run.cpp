// The page loop of a generation run.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <unordered_map>

#include "plugin/engine/bookmark_builder.h"
#include "plugin/engine/generation_run.h"
#include "plugin/rules/page_content.h"
#include "plugin/rules/pattern_matcher.h"
#include "sdk/host_error.h"
#include "sdk/imported_tables.h"
#include "sdk/text_codec.h"

namespace sorvane {
namespace {

constexpr size_t kMaxErrorTextBytes = 256;

void monitorText(const ProgressMonitor *monitor, void *data, std::string_view text) {
  if (!monitor || !monitor->setText)
    return;
  ASExtraTable &x = hostTables().asExtra.must();
  const HostEncoding encoding = hostTables().pdModel->scriptToHostEncoding(0);
  TextHandle t = x.textFromEncoded(text, encoding);
  monitor->setText(t, data);
  x.textDestroy(t);
}

void showHostError(const HostError &e) {
  try {
    hostTables().acroView->alertNote(std::string(truncateUtf8(e.text(), kMaxErrorTextBytes)));
  } catch (const HostError &) {
    // The outcome still says what happened.
  }
}

// Keeps the wait cursor up for the whole run, whatever happens.
struct WaitCursor {
  WaitCursor() { tryShow(true); }
  ~WaitCursor() { tryShow(false); }
  static void tryShow(bool on) {
    try {
      if (hostTables().acroView)
        hostTables().acroView->showWaitCursor(on);
    } catch (const HostError &) {
    }
  }
};

} // namespace

void stopIfAsked(const ProgressMonitor *monitor, void *clientData) {
  if (monitor && monitor->cancelRequested && monitor->cancelRequested(clientData))
    throw HostError(ErrorCode::Cancelled, "Interrupted.");
}

void pumpPaintMessages(const ProgressMonitor *monitor, int32_t value, void *clientData) {
  if (!monitor)
    return;
  stopIfAsked(monitor, clientData);
  if (monitor->setCurrValue)
    monitor->setCurrValue(value, clientData);
  if (hostTables().win)
    hostTables().win->pumpPaintMessages(11);
}

GenerationRun::GenerationRun(const BookmarkBuilder &settings, const ProgressMonitor *monitor,
                             void *monitorData)
    : m_settings(settings), m_monitor(monitor), m_monitorData(monitorData),
      m_stopWords(settings.stopWords,
                  {settings.ignoreStopWords, settings.stopWordsUseRegExp,
                   settings.stopWordsMatchWholeWords, settings.stopWordsMatchCase}) {}

RunOutcome GenerationRun::run(DocHandle doc) {
  WaitCursor wait;
  m_outcome = RunOutcome();
  if (m_settings.levels.empty())
    return m_outcome;
  m_outcome.ran = true;
  const ProgressMonitor *monitor = m_monitor;
  void *data = m_monitorData;
  try {
    if (!monitor && hostTables().acroView)
      monitor = hostTables().acroView->docProgressMonitor(&data);
    m_monitor = monitor;
    m_monitorData = data;
    m_found.clear();
    const uint64_t limitHitsBefore = PatternMatcher::limitHits();
    scanPageRange(doc);
    m_outcome.patternTestsGivenUp =
        static_cast<int32_t>(PatternMatcher::limitHits() - limitHitsBefore);
    m_outcome.headingsFound = static_cast<int32_t>(m_found.size()) +
                              m_outcome.droppedFor(DropReason::StopWord) +
                              m_outcome.droppedFor(DropReason::ContentsLine);
    monitorText(monitor, data, "Adding bookmarks...");
    insertHeadings(doc);
  } catch (const HostError &e) {
    // What was inserted stays; the outcome says where the run stopped. Stopped by the user,
    // the run is cancelled wherever it was: while scanning nothing went into the outline, and
    // while inserting the host throws the partly changed document away (it is never saved).
    if (e.code() == ErrorCode::Cancelled) {
      m_outcome.cancelled = true;
    } else {
      showHostError(e);
      m_outcome.stopCode = e.code();
      m_outcome.stopReason = e.text();
    }
  }
  try {
    if (monitor && monitor->endOperation)
      monitor->endOperation(data);
  } catch (const HostError &) {
  }
  m_found.clear();
  m_found.shrink_to_fit();
  return m_outcome;
}

std::optional<RunFontFilter> GenerationRun::runFontFilter() const {
  RunFontFilter filter;
  for (const LevelRule &level : m_settings.levels) {
    const TextStyleRule &rule = level.textStyleRule;
    // A level that takes any font may take a run in any font.
    if (!rule.matchName || rule.fontDesc.fonts.empty())
      return std::nullopt;
    for (Atom font : rule.fontDesc.fonts) {
      const std::string name = std::string(hostTables().core->atomGetString(font));
      if (rule.ignoreSubsetPrefix)
        filter.anyPrefix.emplace_back(withoutSubsetPrefix(name));
      else
        filter.names.push_back(name);
    }
  }
  return filter;
}

std::vector<bool> GenerationRun::pagesToRead(DocHandle doc, int32_t first, int32_t last) {
  std::vector<bool> read(size_t(std::max(last - first + 1, 0)), true);
  // Only when every level names its fonts can a page's fonts rule out a heading on it.
  if (!runFontFilter())
    return read;
  PagePDEContentTable &content = hostTables().pagePDEContent.must();
  CoreTable &core = hostTables().core.must();
  std::unordered_map<std::string, bool> accepted; // font name: some level takes it
  auto takes = [&](const std::string &name) {
    auto [it, added] = accepted.try_emplace(name, false);
    if (added) {
      TextRun run;
      run.fontName = core.atomFromString(name);
      it->second = std::any_of(
          m_settings.levels.begin(), m_settings.levels.end(),
          [&](const LevelRule &level) { return level.textStyleRule.matchesFontName(run); });
    }
    return it->second;
  };
  for (int32_t i = first; i <= last; ++i) {
    std::optional<std::vector<std::string>> fonts;
    try {
      fonts = content.docPageFontNames(doc, i);
    } catch (const HostError &) {
      // Unknown fonts: the page is read, and a failure is told there.
    }
    if (fonts)
      read[size_t(i - first)] = std::any_of(fonts->begin(), fonts->end(), takes);
  }
  return read;
}

void GenerationRun::scanPageRange(DocHandle doc) {
  PDModelTable &pd = hostTables().pdModel.must();
  const ProgressMonitor *monitor = m_monitor;
  void *data = m_monitorData;
  const int32_t pages = pd.docGetNumPages(doc);
  int32_t last = pages - 1;
  if (m_settings.lastPage >= 0 && m_settings.lastPage < pages)
    last = m_settings.lastPage;
  // A negative first page (a hand-edited settings file) means the first page, rather than a
  // note for every page before it.
  const int32_t first = std::max<int32_t>(m_settings.firstPage, 0);
  if (monitor && monitor->beginOperation)
    monitor->beginOperation(data);
  const int32_t total = std::max<int32_t>(last - first + 1, 1);
  if (monitor && monitor->setDuration)
    monitor->setDuration(total, data);
  monitorText(monitor, data, "Scanning for bookmarks...");
  const std::vector<bool> read = pagesToRead(doc, first, last);
  std::vector<int32_t> plan;
  for (int32_t i = first; i <= last; ++i)
    if (read[size_t(i - first)])
      plan.push_back(i);
  PagePDEContentTable &content = hostTables().pagePDEContent.must();
  // Runs no level's font can take only end lines: their text is not needed, unless contents
  // lines are looked for (their page numbers are in body text) or titles take inline runs.
  // Their fonts' programs are not needed either, unless titles take inline runs.
  struct FilterScope {
    PagePDEContentTable &content;
    DocHandle doc;
    bool set = false;
    ~FilterScope() {
      if (set)
        try {
          content.docSetRunFontFilter(doc, std::nullopt);
        } catch (const HostError &) {
        }
    }
  } filterScope{content, doc};
  const bool inlineRuns =
      std::any_of(m_settings.levels.begin(), m_settings.levels.end(),
                  [](const LevelRule &level) { return level.textMatchRule.inlineRuns; });
  if (auto filter = runFontFilter(); filter && !inlineRuns) {
    filter->othersWhole = m_settings.skipContentsLines;
    content.docSetRunFontFilter(doc, *filter);
    filterScope.set = true;
  }
  content.docPlanContentReads(doc, plan);
  for (int32_t i = first; i <= last; ++i) {
    if (i % 10 == 0) {
      const int32_t done = i - first;
      pumpPaintMessages(monitor, done, data);
      char text[96];
      std::snprintf(text, sizeof text, "Scanning for bookmarks: %d out of %d pages ", done, total);
      monitorText(monitor, data, text);
    }
    m_currentPage = i;
    stopIfAsked(monitor, data); // page by page is where a long run stops when the user asks
    if (!read[size_t(i - first)]) {
      ++m_outcome.pagesSkipped;
      continue;
    }
    const size_t foundBefore = m_found.size();
    try {
      PageContent page(doc, i);
      // Only what lies on the visible page counts.
      const HostRect box = pd.pageGetCropBox(page.page());
      page.gatherRuns(FixedRect{fixedFromDouble(box.left), fixedFromDouble(box.top),
                                fixedFromDouble(box.right), fixedFromDouble(box.bottom)});
      scanPage(page, i);
      ++m_outcome.pagesScanned;
      if (page.runsOutOfReach() > 0) {
        if (m_outcome.runsOutOfReach == 0)
          m_outcome.firstPageOutOfReach = i;
        m_outcome.runsOutOfReach += page.runsOutOfReach();
      }
    } catch (const HostError &e) {
      if (e.code() == ErrorCode::Cancelled)
        throw; // the user stopped the run
      // A page that cannot be read yields nothing; the run goes on with the next one.
      m_found.resize(foundBefore);
      showHostError(e);
      m_outcome.failedPages.push_back(PageFailure{i, e.text()});
    }
  }
}

} // namespace sorvane
