#include "host/studio/document_tab.h"

#include <QFileInfo>

#include "host/pdf/pdf_document.h"
#include "host/studio/studio_host.h"
#include "sdk/host_error.h"

namespace sorvane::studio {
namespace {

bool sameOutline(const std::vector<host::OutlineEntry> &a,
                 const std::vector<host::OutlineEntry> &b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const host::OutlineEntry &x = a[i], &y = b[i];
    if (x.object != y.object || x.depth != y.depth || x.title != y.title || x.page != y.page ||
        x.open != y.open || x.colour != y.colour || x.flags != y.flags || x.fit != y.fit ||
        x.view != y.view || x.action != y.action)
      return false;
  }
  return true;
}

std::vector<host::PageFrame> framesOf(host::PdfDocument &document) {
  std::vector<host::PageFrame> frames;
  host::PageFrame letter;
  letter.width = 612;
  letter.height = 792;
  letter.toShown = {1, 0, 0, -1, 0, 792};
  for (int page = 0; page < document.pageCount(); ++page) {
    try {
      frames.push_back(host::pageFrame(document, page));
    } catch (const HostError &) {
      frames.push_back(letter); // drawn with its error in place of the page
    }
  }
  return frames;
}

} // namespace

DocumentTab::DocumentTab(StudioHost &host, DocHandle doc, QWidget *parent)
    : QSplitter(Qt::Horizontal, parent), m_host(host), m_doc(doc) {
  host::PdfDocument &document = host.document(doc);
  m_path = QString::fromStdString(document.path());
  m_savePath = m_path;
  m_renderer = new PageRenderer(document, this);
  m_bookmarks = new BookmarksPane(this);
  m_pages = new PageView(framesOf(document), *m_renderer, this);
  addWidget(m_bookmarks);
  addWidget(m_pages);
  setStretchFactor(1, 1);
  setSizes({260, 800});
  connect(m_bookmarks, &BookmarksPane::bookmarkActivated, this, &DocumentTab::goTo);
  refreshOutline();
  m_bookmarks->setVisible(!m_bookmarks->entries().empty());
}

DocumentTab::~DocumentTab() {
  // The renderer's thread stops first: before the view it sends pictures to goes (a picture
  // still on its way to the view goes with the view), and before the document it copied goes.
  // The view still uses the renderer while it goes, so the renderer itself goes last.
  m_renderer->stop();
  delete m_pages;
  delete m_renderer;
}

QString DocumentTab::title() const {
  return QFileInfo(m_savePath).fileName() + (m_modified ? " *" : "");
}

void DocumentTab::setModified(bool on) {
  if (m_modified == on)
    return;
  m_modified = on;
  emit modifiedChanged(on);
}

bool DocumentTab::refreshOutline() {
  host::OutlineListing listing = host::listOutline(m_host.pdf(), m_doc);
  const bool changed = !sameOutline(listing.entries, m_shownOutline);
  m_shownOutline = listing.entries;
  if (changed)
    m_bookmarks->show(listing);
  return changed;
}

void DocumentTab::showBookmarks(bool on) { m_bookmarks->setVisible(on); }

void DocumentTab::goTo(const host::OutlineEntry &entry) {
  if (!entry.page)
    return;
  std::optional<double> top, left;
  // The numbers after the fit type: XYZ left top zoom; FitH/FitBH top; FitR left bottom
  // right top.
  auto number = [&](size_t i) {
    return i < entry.view.size() ? entry.view[i] : std::optional<double>();
  };
  if (entry.fit)
    switch (*entry.fit) {
    case host::FitType::XYZ:
      left = number(0);
      top = number(1);
      if (const auto zoom = number(2); zoom && *zoom > 0)
        m_pages->setZoom(*zoom);
      break;
    case host::FitType::FitH:
    case host::FitType::FitBH:
      top = number(0);
      m_pages->setZoomMode(ZoomMode::FitWidth);
      break;
    case host::FitType::Fit:
    case host::FitType::FitB: m_pages->setZoomMode(ZoomMode::FitPage); break;
    case host::FitType::FitR:
      left = number(0);
      top = number(3);
      break;
    case host::FitType::FitV:
    case host::FitType::FitBV: break; // the page, at the zoom shown
    }
  m_pages->goToPage(*entry.page, top, left);
}

void DocumentTab::saveTo(const QString &target) {
  m_host.document(m_doc).save(target.toStdString());
  m_savePath = target;
  setModified(false);
}

} // namespace sorvane::studio
