#include "host/studio/owner_drawing.h"

#include <QString>

namespace sorvane::studio {
namespace {

QColor qColour(ui::Rgb c) { return QColor(c.r, c.g, c.b); }

class PainterContext final : public ui::DrawContext {
public:
  PainterContext(QPainter &painter, const QPalette &palette)
      : m_painter(painter), m_palette(palette) {}

  void fillRect(const ui::Rect &r, ui::Rgb colour) override {
    m_painter.fillRect(toQt(r), qColour(colour));
  }
  void frameRect(const ui::Rect &r, ui::Rgb colour) override {
    m_painter.save();
    m_painter.setPen(qColour(colour));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRect(toQt(r).adjusted(0, 0, -1, -1));
    m_painter.restore();
  }
  void focusRect(const ui::Rect &r) override {
    m_painter.save();
    m_painter.setPen(QPen(m_palette.color(QPalette::WindowText), 1, Qt::DotLine));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRect(toQt(r).adjusted(0, 0, -1, -1));
    m_painter.restore();
  }
  void drawText(int x, int y, std::string_view text, ui::Rgb colour) override {
    m_painter.save();
    m_painter.setPen(qColour(colour));
    m_painter.drawText(QRect(x, y, 10000, 10000), Qt::AlignLeft | Qt::AlignTop,
                       QString::fromUtf8(text.data(), qsizetype(text.size())));
    m_painter.restore();
  }
  ui::Rgb systemColour(ui::SystemColour which) override {
    QColor c;
    switch (which) {
    case ui::SystemColour::Window: c = m_palette.color(QPalette::Base); break;
    case ui::SystemColour::WindowText: c = m_palette.color(QPalette::Text); break;
    case ui::SystemColour::Highlight: c = m_palette.color(QPalette::Highlight); break;
    case ui::SystemColour::InactiveCaptionText:
      c = m_palette.color(QPalette::Disabled, QPalette::Text);
      break;
    }
    return ui::Rgb{uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue())};
  }

private:
  static QRect toQt(const ui::Rect &r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  QPainter &m_painter;
  const QPalette &m_palette;
};

} // namespace

void drawOwnerDrawnItem(ui::Dialog &model, int id, ui::DrawItemState state, QPainter &painter,
                        const QRect &area, const QPalette &palette) {
  painter.save();
  painter.translate(area.topLeft());
  painter.setClipRect(QRect(0, 0, area.width(), area.height()));
  state.rect = ui::Rect{0, 0, area.width(), area.height()};
  PainterContext context(painter, palette);
  model.drawItem(id, state, context);
  painter.restore();
}

} // namespace sorvane::studio
