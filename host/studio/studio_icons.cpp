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

QIcon applicationIcon() {
  QIcon icon;
  for (int size : {16, 32, 64, 128})
    icon.addPixmap(logo(size));
  return icon;
}

} // namespace sorvane::studio
