// One open document in the window: its bookmarks pane beside its pages, the file it came from,
// where it is saved and whether it has changes not saved yet.
#pragma once

#include <QSplitter>
#include <QString>

#include "host/studio/bookmarks_pane.h"
#include "host/studio/page_renderer.h"
#include "host/studio/page_view.h"
#include "sdk/handles.h"

namespace sorvane::studio {

class StudioHost;

class DocumentTab final : public QSplitter {
  Q_OBJECT
public:
  // Shows `doc`, open in `host`. Throws HostError when its pages cannot be measured at all.
  DocumentTab(StudioHost &host, DocHandle doc, QWidget *parent = nullptr);
  ~DocumentTab() override;

  DocHandle doc() const { return m_doc; }
  // The file the document was opened from, and where Save writes.
  const QString &path() const { return m_path; }
  const QString &savePath() const { return m_savePath; }
  QString title() const;
  bool modified() const { return m_modified; }
  void setModified(bool on);

  PageView &pages() { return *m_pages; }
  BookmarksPane &bookmarks() { return *m_bookmarks; }
  // Reads the outline again into the bookmarks pane; true when it changed since last read.
  bool refreshOutline();
  // Shows or hides the bookmarks pane (the host's page mode).
  void showBookmarks(bool on);

  // Saves to `target` (the open file itself only when asked); throws HostError.
  void saveTo(const QString &target);

signals:
  void modifiedChanged(bool modified);

private:
  void goTo(const host::OutlineEntry &entry);

  StudioHost &m_host;
  DocHandle m_doc;
  QString m_path, m_savePath;
  bool m_modified = false;
  PageRenderer *m_renderer = nullptr;
  PageView *m_pages = nullptr;
  BookmarksPane *m_bookmarks = nullptr;
  std::vector<host::OutlineEntry> m_shownOutline;
};

} // namespace sorvane::studio
