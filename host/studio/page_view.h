// The pages of a document, one below the other, drawn by a PageRenderer at the view's zoom.
// Zoom in and out, fit the width or the whole page, go to a page and a position; with the
// selection tool on, a rectangle dragged over a page selects what lies in it. Boxes can be
// marked on the pages (the headings a rule set would find).
#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QRubberBand>
#include <optional>
#include <vector>

#include "host/pdf/page_image.h"

namespace sorvane::studio {

class PageRenderer;

enum class ZoomMode { Custom, FitWidth, FitPage };

struct PageMark {
  HostRect box; // default user space
  QColor colour;
  QString label;
};

class PageView final : public QAbstractScrollArea {
  Q_OBJECT
public:
  // `frames` gives the pages' shapes; pages whose frame could not be read show as grey.
  PageView(std::vector<host::PageFrame> frames, PageRenderer &renderer, QWidget *parent = nullptr);

  int pageCount() const { return int(m_frames.size()); }
  const host::PageFrame &frame(int page) const { return m_frames[size_t(page)]; }
  // The page at the top of the view (most of the view, once scrolled).
  int currentPage() const;
  // Scrolls so that page `page` is at the top; with `top` (a user-space y on that page), that
  // height of the page.
  void goToPage(int page, std::optional<double> top = std::nullopt,
                std::optional<double> left = std::nullopt);

  double zoom() const { return m_zoom; }
  ZoomMode zoomMode() const { return m_mode; }
  void setZoom(double zoom); // 1.0: 100 %
  void setZoomMode(ZoomMode mode);
  void zoomIn();
  void zoomOut();

  void setSelecting(bool on);
  bool selecting() const { return m_selecting; }

  // The marks shown on `page` (replacing those it had).
  void setMarks(int page, std::vector<PageMark> marks);
  void clearMarks();
  // The marks shown on `page` (none: empty).
  std::vector<PageMark> marks(int page) const { return m_marks.value(page); }
  // The text selected on `page`, shown highlighted (no boxes: none); one page at a time.
  void setHighlight(int page, std::vector<HostRect> boxes);
  int highlightedPage() const { return m_highlightPage; }
  const std::vector<HostRect> &highlight() const { return m_highlight; }
  // The pages the view shows now, first and last.
  std::pair<int, int> visiblePages() const;
  // The shown-page rectangle of page `page` in viewport pixels.
  QRect pageRect(int page) const;

signals:
  void currentPageChanged(int page);
  void zoomChanged(double zoom);
  // A rectangle was dragged on `page`; `box` in default user space.
  void selectionMade(int page, HostRect box);
  void visiblePagesChanged();

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent *event) override;
  void wheelEvent(QWheelEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;

private:
  void rendered(int page, double scale, const QImage &image, const QString &error);
  void relayout(bool keepPlace);
  double pixelsPerPoint() const;
  // Box `box` (default user space) of page `page` in viewport pixels.
  QRectF shownBox(int page, const HostRect &box) const;
  double imageScale() const;
  int pageAt(int y) const; // content y
  void updateCurrent();

  std::vector<host::PageFrame> m_frames;
  PageRenderer &m_renderer;
  std::vector<int> m_tops; // content y of each page's top
  int m_contentWidth = 0, m_contentHeight = 0;
  double m_zoom = 1.0;
  ZoomMode m_mode = ZoomMode::FitWidth;
  QHash<int, QImage> m_images;      // by page, at m_imagesScale (older ones drawn stretched)
  QHash<int, double> m_imageScales; // the scale each image was drawn at
  QHash<int, QString> m_errors;
  QHash<int, double> m_asked; // pages asked for, at which scale
  QHash<int, std::vector<PageMark>> m_marks;
  int m_highlightPage = -1;
  std::vector<HostRect> m_highlight;
  bool m_selecting = false;
  QRubberBand *m_band = nullptr;
  QPoint m_dragStart;
  int m_dragPage = -1;
  int m_current = -1;
};

} // namespace sorvane::studio
