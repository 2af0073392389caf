#include "host/studio/studio_icons.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

namespace sorvane::studio {
namespace {

// A page with a bookmark ribbon over its top right corner.
QPixmap logo(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const double s = size / 64.0;
  p.setPen(QPen(QColor(60, 60, 70), 2 * s));
  p.setBrush(Qt::white);
  p.drawRoundedRect(QRectF(10 * s, 4 * s, 40 * s, 56 * s), 3 * s, 3 * s);
  p.setPen(QPen(QColor(150, 150, 160), 2 * s));
  for (int line = 0; line < 5; ++line)
    p.drawLine(QPointF(16 * s, (20 + 8 * line) * s), QPointF(40 * s, (20 + 8 * line) * s));
  QPainterPath ribbon;
  ribbon.moveTo(38 * s, 0);
  ribbon.lineTo(54 * s, 0);
  ribbon.lineTo(54 * s, 30 * s);
  ribbon.lineTo(46 * s, 23 * s);
  ribbon.lineTo(38 * s, 30 * s);
  ribbon.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(200, 40, 50));
  p.drawPath(ribbon);
  return pixmap;
}

} // namespace

QIcon namedIcon(const QString &name) {
  QStyle *style = QApplication::style();
  if (name == "message")
    return style->standardIcon(QStyle::SP_MessageBoxWarning);
  if (name == "no errors")
    return style->standardIcon(QStyle::SP_DialogApplyButton);
  if (name == "bookmark" || name == "level")
    return QIcon(logo(32));
  return QIcon();
}

QPixmap namedPicture(const QString &name, int size) {
  (void)name; // the logo is the only picture the dialogs show
  return logo(size);
}

namespace {

// A drawn icon at 32 pixels: `draw` paints on a 32 x 32 canvas.
template <class Draw> QIcon drawn(Draw draw) {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(50, 50, 60), 2.5));
  p.setBrush(Qt::NoBrush);
  draw(p);
  return QIcon(pixmap);
}

QIcon magnifier(bool plus) {
  return drawn([plus](QPainter &p) {
    p.drawEllipse(QPointF(13, 13), 9, 9);
    p.drawLine(QPointF(20, 20), QPointF(29, 29));
    p.drawLine(QPointF(8, 13), QPointF(18, 13));
    if (plus)
      p.drawLine(QPointF(13, 8), QPointF(13, 18));
  });
}

QIcon page(bool width) {
  return drawn([width](QPainter &p) {
    p.drawRect(QRectF(7, 3, 18, 26));
    if (width) {
      p.drawLine(QPointF(2, 16), QPointF(30, 16));
      p.drawLine(QPointF(2, 16), QPointF(6, 12));
      p.drawLine(QPointF(2, 16), QPointF(6, 20));
      p.drawLine(QPointF(30, 16), QPointF(26, 12));
      p.drawLine(QPointF(30, 16), QPointF(26, 20));
    }
  });
}

} // namespace

QIcon actionIcon(const QString &name) {
  QStyle *style = QApplication::style();
  struct Entry {
    const char *action;
    const char *theme;
    int standard; // a QStyle::StandardPixmap, or -1
  };
  static const Entry entries[] = {
      {"file-open", "document-open", QStyle::SP_DialogOpenButton},
      {"file-save", "document-save", QStyle::SP_DialogSaveButton},
      {"file-save-as", "document-save-as", QStyle::SP_DialogSaveButton},
      {"file-close", "document-close", QStyle::SP_DialogCloseButton},
      {"file-quit", "application-exit", -1},
      {"view-zoom-in", "zoom-in", -1},
      {"view-zoom-out", "zoom-out", -1},
      {"view-actual-size", "zoom-original", -1},
      {"view-fit-width", "zoom-fit-width", -1},
      {"view-fit-page", "zoom-fit-best", -1},
      {"view-bookmarks", "bookmarks", -1},
      {"view-select-text", "edit-select-text", -1},
      {"view-preview", "view-preview", -1},
      {"go-first", "go-first", QStyle::SP_MediaSkipBackward},
      {"go-previous", "go-previous", QStyle::SP_ArrowBack},
      {"go-next", "go-next", QStyle::SP_ArrowForward},
      {"go-last", "go-last", QStyle::SP_MediaSkipForward},
  };
  for (const Entry &e : entries) {
    if (name != QLatin1String(e.action))
      continue;
    QIcon fallback;
    if (e.standard >= 0)
      fallback = style->standardIcon(QStyle::StandardPixmap(e.standard));
    else if (name == "view-zoom-in" || name == "view-zoom-out")
      fallback = magnifier(name == "view-zoom-in");
    else if (name == "view-fit-width" || name == "view-fit-page" || name == "view-actual-size")
      fallback = page(name == "view-fit-width");
    else if (name == "view-bookmarks")
      fallback = QIcon(logo(32));
    else if (name == "view-select-text")
      fallback = drawn([](QPainter &p) {
        p.drawLine(QPointF(8, 6), QPointF(24, 6));
        p.drawLine(QPointF(16, 6), QPointF(16, 26));
        p.drawLine(QPointF(12, 26), QPointF(20, 26));
      });
    else if (name == "view-preview")
      fallback = drawn([](QPainter &p) {
        p.drawRect(QRectF(7, 3, 18, 26));
        p.setPen(QPen(QColor(214, 39, 40), 2.5));
        p.drawRect(QRectF(10, 7, 12, 6));
      });
    return QIcon::fromTheme(QLatin1String(e.theme), fallback);
  }
  return QIcon();
}

QIcon applicationIcon() {
  QIcon icon;
  for (int size : {16, 32, 64, 128})
    icon.addPixmap(logo(size));
  return icon;
}

} // namespace sorvane::studio
