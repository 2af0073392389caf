#include "host/studio/page_view.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "host/studio/page_renderer.h"

namespace sorvane::studio {
namespace {

constexpr int kMargin = 12; // around the pages and between them
constexpr double kMinZoom = 0.1, kMaxZoom = 8.0;
// Pages drawn beyond those in view, kept for scrolling back.
constexpr int kKeptAround = 6;

} // namespace

PageView::PageView(std::vector<host::PageFrame> frames, PageRenderer &renderer, QWidget *parent)
    : QAbstractScrollArea(parent), m_frames(std::move(frames)), m_renderer(renderer) {
  setObjectName("page-view");
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setBackgroundRole(QPalette::Dark);
  viewport()->setAutoFillBackground(true);
  m_band = new QRubberBand(QRubberBand::Rectangle, viewport());
  connect(&m_renderer, &PageRenderer::rendered, this, &PageView::rendered);
  relayout(false);
}

double PageView::pixelsPerPoint() const { return m_zoom * logicalDpiX() / 72.0; }

double PageView::imageScale() const { return pixelsPerPoint() * devicePixelRatioF(); }

void PageView::relayout(bool keepPlace) {
  // The place in the document that stays in view: a page and how far down it.
  const int anchorPage = keepPlace ? currentPage() : 0;
  double anchorPart = 0;
  if (keepPlace && anchorPage >= 0 && size_t(anchorPage) < m_tops.size()) {
    const QRect r = pageRect(anchorPage);
    anchorPart = r.height() > 0 ? double(-r.top()) / r.height() : 0;
  }
  double widest = 1, tallest = 1;
  for (const host::PageFrame &f : m_frames) {
    widest = std::max(widest, f.width);
    tallest = std::max(tallest, f.height);
  }
  const double dpiScale = logicalDpiX() / 72.0;
  const double roomW = std::max(50, viewport()->width() - 2 * kMargin);
  const double roomH = std::max(50, viewport()->height() - 2 * kMargin);
  double zoom = m_zoom;
  if (m_mode == ZoomMode::FitWidth)
    zoom = roomW / (widest * dpiScale);
  else if (m_mode == ZoomMode::FitPage)
    zoom = std::min(roomW / (widest * dpiScale), roomH / (tallest * dpiScale));
  zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
  if (std::fabs(zoom - m_zoom) > 1e-6) {
    m_zoom = zoom;
    m_asked.clear();
    m_renderer.clear();
    emit zoomChanged(m_zoom);
  }
  const double ppp = pixelsPerPoint();
  m_tops.assign(m_frames.size(), 0);
  int y = kMargin;
  int width = 0;
  for (size_t i = 0; i < m_frames.size(); ++i) {
    m_tops[i] = y;
    y += int(std::lround(m_frames[i].height * ppp)) + kMargin;
    width = std::max(width, int(std::lround(m_frames[i].width * ppp)));
  }
  m_contentWidth = width + 2 * kMargin;
  m_contentHeight = y;
  horizontalScrollBar()->setRange(0, std::max(0, m_contentWidth - viewport()->width()));
  horizontalScrollBar()->setPageStep(viewport()->width());
  verticalScrollBar()->setRange(0, std::max(0, m_contentHeight - viewport()->height()));
  verticalScrollBar()->setPageStep(viewport()->height());
  verticalScrollBar()->setSingleStep(40);
  horizontalScrollBar()->setSingleStep(40);
  if (keepPlace && anchorPage >= 0 && size_t(anchorPage) < m_tops.size()) {
    const int h = int(std::lround(m_frames[size_t(anchorPage)].height * ppp));
    verticalScrollBar()->setValue(m_tops[size_t(anchorPage)] + int(anchorPart * h));
  }
  viewport()->update();
  updateCurrent();
}

QRect PageView::pageRect(int page) const {
  if (page < 0 || size_t(page) >= m_tops.size())
    return {};
  const double ppp = pixelsPerPoint();
  const int w = int(std::lround(m_frames[size_t(page)].width * ppp));
  const int h = int(std::lround(m_frames[size_t(page)].height * ppp));
  const int x = m_contentWidth <= viewport()->width()
                    ? (viewport()->width() - w) / 2
                    : (m_contentWidth - w) / 2 - horizontalScrollBar()->value();
  return QRect(x, m_tops[size_t(page)] - verticalScrollBar()->value(), w, h);
}

int PageView::pageAt(int y) const {
  if (m_tops.empty())
    return -1;
  const auto after = std::upper_bound(m_tops.begin(), m_tops.end(), y);
  return std::max(0, int(after - m_tops.begin()) - 1);
}

std::pair<int, int> PageView::visiblePages() const {
  const int top = verticalScrollBar()->value();
  return {pageAt(top), pageAt(top + viewport()->height())};
}

int PageView::currentPage() const {
  if (m_tops.empty())
    return -1;
  // The page that holds the line a third of the way down the view.
  return pageAt(verticalScrollBar()->value() + viewport()->height() / 3);
}

void PageView::updateCurrent() {
  const int page = currentPage();
  if (page != m_current) {
    m_current = page;
    emit currentPageChanged(page);
  }
}

void PageView::goToPage(int page, std::optional<double> top, std::optional<double> left) {
  if (page < 0 || size_t(page) >= m_tops.size())
    return;
  int y = m_tops[size_t(page)] - kMargin / 2;
  if (top) {
    const host::PageFrame &f = m_frames[size_t(page)];
    const auto shown = f.shownPoint(left.value_or(0), *top);
    y = m_tops[size_t(page)] + int(std::clamp(shown[1], 0.0, f.height) * pixelsPerPoint()) -
        kMargin;
  }
  verticalScrollBar()->setValue(y);
  updateCurrent();
}

void PageView::setZoom(double zoom) {
  m_mode = ZoomMode::Custom;
  const double clamped = std::clamp(zoom, kMinZoom, kMaxZoom);
  if (std::fabs(clamped - m_zoom) < 1e-6)
    return;
  m_zoom = clamped;
  m_asked.clear();
  m_renderer.clear();
  emit zoomChanged(m_zoom);
  relayout(true);
}

void PageView::setZoomMode(ZoomMode mode) {
  m_mode = mode;
  relayout(true);
}

void PageView::zoomIn() { setZoom(m_zoom * 1.25); }
void PageView::zoomOut() { setZoom(m_zoom / 1.25); }

void PageView::setSelecting(bool on) {
  m_selecting = on;
  viewport()->setCursor(on ? Qt::CrossCursor : Qt::ArrowCursor);
  m_band->hide();
}

void PageView::setHighlight(int page, std::vector<HostRect> boxes) {
  m_highlightPage = boxes.empty() ? -1 : page;
  m_highlight = std::move(boxes);
  viewport()->update();
}

QRectF PageView::shownBox(int page, const HostRect &box) const {
  const QRect r = pageRect(page);
  const double ppp = pixelsPerPoint();
  const host::PageFrame &f = m_frames[size_t(page)];
  const auto a = f.shownPoint(box.left, box.bottom);
  const auto b = f.shownPoint(box.right, box.top);
  return QRectF(
      QPointF(r.left() + std::min(a[0], b[0]) * ppp, r.top() + std::min(a[1], b[1]) * ppp),
      QPointF(r.left() + std::max(a[0], b[0]) * ppp, r.top() + std::max(a[1], b[1]) * ppp));
}

void PageView::setMarks(int page, std::vector<PageMark> marks) {
  if (marks.empty())
    m_marks.remove(page);
  else
    m_marks[page] = std::move(marks);
  viewport()->update();
}

void PageView::clearMarks() {
  m_marks.clear();
  viewport()->update();
}

void PageView::rendered(int page, double scale, const QImage &image, const QString &error) {
  if (!error.isEmpty()) {
    m_errors[page] = error;
  } else {
    // An older picture waits only until the one at the view's scale comes.
    const bool current = std::fabs(scale - imageScale()) < 1e-6;
    if (current || !m_images.contains(page)) {
      QImage shown = image;
      shown.setDevicePixelRatio(devicePixelRatioF());
      m_images[page] = shown;
      m_imageScales[page] = scale;
    }
  }
  // Pictures far from the view go.
  const auto [first, last] = visiblePages();
  for (auto it = m_images.begin(); it != m_images.end();) {
    if (it.key() < first - kKeptAround || it.key() > last + kKeptAround) {
      m_imageScales.remove(it.key());
      m_asked.remove(it.key());
      it = m_images.erase(it);
    } else {
      ++it;
    }
  }
  viewport()->update();
}

void PageView::paintEvent(QPaintEvent *) {
  QPainter painter(viewport());
  const auto [first, last] = visiblePages();
  if (first < 0)
    return;
  const double scale = imageScale();
  for (int page = first; page <= last; ++page) {
    const QRect r = pageRect(page);
    painter.fillRect(r.adjusted(2, 2, 2, 2), QColor(0, 0, 0, 60)); // a shadow
    const auto image = m_images.constFind(page);
    if (image != m_images.constEnd())
      painter.drawImage(r, *image);
    else
      painter.fillRect(r, Qt::white);
    if (m_errors.contains(page)) {
      painter.setPen(Qt::darkRed);
      painter.drawText(r.adjusted(10, 10, -10, -10), Qt::AlignCenter | Qt::TextWordWrap,
                       m_errors.value(page));
    } else if (!m_asked.contains(page) || std::fabs(m_asked.value(page) - scale) > 1e-6) {
      m_asked[page] = scale;
      m_renderer.request(page, scale);
    }
    if (page == m_highlightPage) {
      // The selected text under the desktop's selection colour, still readable.
      QColor selected = palette().color(QPalette::Highlight);
      selected.setAlpha(90);
      for (const HostRect &box : m_highlight)
        painter.fillRect(shownBox(page, box), selected);
    }
    const auto marks = m_marks.constFind(page);
    if (marks == m_marks.constEnd())
      continue;
    for (const PageMark &mark : *marks) {
      const QRectF box = shownBox(page, mark.box).adjusted(-2, -2, 2, 2);
      QColor fill = mark.colour;
      fill.setAlpha(40);
      painter.fillRect(box, fill);
      painter.setPen(QPen(mark.colour, 1.5));
      painter.drawRect(box);
      if (!mark.label.isEmpty()) {
        const QFontMetrics metrics(painter.font());
        const QRectF tag(box.left() - metrics.horizontalAdvance(mark.label) - 8, box.top(),
                         metrics.horizontalAdvance(mark.label) + 6, metrics.height() + 2);
        painter.fillRect(tag, mark.colour);
        painter.setPen(Qt::white);
        painter.drawText(tag, Qt::AlignCenter, mark.label);
      }
    }
  }
}

void PageView::resizeEvent(QResizeEvent *event) {
  QAbstractScrollArea::resizeEvent(event);
  relayout(true);
}

void PageView::scrollContentsBy(int, int) {
  viewport()->update();
  updateCurrent();
  emit visiblePagesChanged();
}

void PageView::keyPressEvent(QKeyEvent *event) {
  switch (event->key()) {
  case Qt::Key_Home: verticalScrollBar()->setValue(0); return;
  case Qt::Key_End: verticalScrollBar()->setValue(verticalScrollBar()->maximum()); return;
  case Qt::Key_Space:
    verticalScrollBar()->triggerAction(event->modifiers() & Qt::ShiftModifier
                                           ? QAbstractSlider::SliderPageStepSub
                                           : QAbstractSlider::SliderPageStepAdd);
    return;
  case Qt::Key_Plus:
  case Qt::Key_Equal:
    if (event->modifiers() & Qt::ControlModifier)
      return zoomIn();
    break;
  case Qt::Key_Minus:
    if (event->modifiers() & Qt::ControlModifier)
      return zoomOut();
    break;
  default: break;
  }
  QAbstractScrollArea::keyPressEvent(event);
}

void PageView::wheelEvent(QWheelEvent *event) {
  if (event->modifiers() & Qt::ControlModifier) {
    if (event->angleDelta().y() > 0)
      zoomIn();
    else if (event->angleDelta().y() < 0)
      zoomOut();
    event->accept();
    return;
  }
  QAbstractScrollArea::wheelEvent(event);
}

void PageView::mousePressEvent(QMouseEvent *event) {
  if (!m_selecting || event->button() != Qt::LeftButton)
    return QAbstractScrollArea::mousePressEvent(event);
  m_dragStart = event->position().toPoint();
  m_dragPage = pageAt(m_dragStart.y() + verticalScrollBar()->value());
  m_band->setGeometry(QRect(m_dragStart, QSize()));
  m_band->show();
}

void PageView::mouseMoveEvent(QMouseEvent *event) {
  if (m_dragPage < 0)
    return QAbstractScrollArea::mouseMoveEvent(event);
  m_band->setGeometry(QRect(m_dragStart, event->position().toPoint()).normalized());
}

void PageView::mouseReleaseEvent(QMouseEvent *event) {
  if (m_dragPage < 0)
    return QAbstractScrollArea::mouseReleaseEvent(event);
  const int page = m_dragPage;
  m_dragPage = -1;
  m_band->hide();
  const QRect area = pageRect(page);
  const QRect dragged =
      QRect(m_dragStart, event->position().toPoint()).normalized().intersected(area);
  if (dragged.isEmpty())
    return;
  const double ppp = pixelsPerPoint();
  const host::PageFrame &f = m_frames[size_t(page)];
  emit selectionMade(page, f.userRect((dragged.left() - area.left()) / ppp,
                                      (dragged.top() - area.top()) / ppp,
                                      (dragged.right() + 1 - area.left()) / ppp,
                                      (dragged.bottom() + 1 - area.top()) / ppp));
}

} // namespace sorvane::studio
