// The page loop of a generation run.
#include <algorithm>
#include <cstdio>
#include <memory>

#include "plugin/engine/bookmark_builder.h"
#include "plugin/rules/page_content.h"
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
  hostTables().acroView->alertNote(std::string(truncateUtf8(e.text(), kMaxErrorTextBytes)));
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

void pumpPaintMessages(const ProgressMonitor *monitor, int32_t value, void *clientData) {
  if (!monitor)
    return;
  if (monitor->setCurrValue)
    monitor->setCurrValue(value, clientData);
  if (hostTables().win)
    hostTables().win->pumpPaintMessages(11);
}

bool BookmarkBuilder::generate(DocHandle doc) {
  WaitCursor wait;
  if (levels.empty())
    return false;
  const ProgressMonitor *monitor = m_monitor;
  void *data = m_monitorData;
  if (!monitor && hostTables().acroView)
    monitor = hostTables().acroView->docProgressMonitor(&data);
  m_createdCount = 0;
  try {
    m_found.clear();
    PDModelTable &pd = hostTables().pdModel.must();
    const int32_t pages = pd.docGetNumPages(doc);
    int32_t last = pages - 1;
    if (lastPage >= 0 && lastPage < pages)
      last = lastPage;
    // A negative first page (a hand-edited settings file) means the first page, rather than a
    // note for every page before it.
    const int32_t first = std::max<int32_t>(firstPage, 0);
    if (monitor && monitor->beginOperation)
      monitor->beginOperation(data);
    const int32_t total = std::max<int32_t>(last - first + 1, 1);
    if (monitor && monitor->setDuration)
      monitor->setDuration(total, data);
    monitorText(monitor, data, "Scanning for bookmarks...");
    for (int32_t i = first; i <= last; ++i) {
      if (i % 10 == 0) {
        const int32_t done = i - first;
        pumpPaintMessages(monitor, done, data);
        char text[96];
        std::snprintf(text, sizeof text, "Scanning for bookmarks: %d out of %d pages ", done,
                      total);
        monitorText(monitor, data, text);
      }
      m_currentPage = i;
      std::unique_ptr<PageContent> page;
      try {
        page = std::make_unique<PageContent>(doc, i);
      } catch (const HostError &e) {
        // A page that cannot be had yields nothing; the run goes on.
        showHostError(e);
        continue;
      }
      // Only what lies on the visible page counts.
      const HostRect box = pd.pageGetCropBox(page->page());
      page->gatherRuns(FixedRect{fixedFromDouble(box.left), fixedFromDouble(box.top),
                                 fixedFromDouble(box.right), fixedFromDouble(box.bottom)});
      scanPage(*page);
    }
    monitorText(monitor, data, "Adding bookmarks...");
    insertHeadings(doc);
  } catch (const HostError &e) {
    showHostError(e);
  }
  if (monitor && monitor->endOperation)
    monitor->endOperation(data);
  m_found.clear();
  m_found.shrink_to_fit();
  return true;
}

} // namespace sorvane
