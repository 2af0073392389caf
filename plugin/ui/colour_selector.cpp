#include "plugin/ui/colour_selector.h"

#include "plugin/ui/platform.h"

namespace sorvane {
namespace {

const ColourSelector::Entry kNamedColours[] = {
    {"Black", {0, 0, 0}},       {"White", {255, 255, 255}}, {"Grey", {127, 127, 127}},
    {"Red", {255, 0, 0}},       {"Orange", {255, 127, 0}},  {"Yellow", {255, 255, 0}},
    {"Green", {0, 255, 0}},     {"Cyan", {0, 255, 255}},    {"Blue", {0, 0, 255}},
    {"Fuchsia", {255, 0, 255}},
};
constexpr const char *kCustom = "Custom...";
constexpr const char *kCurrent = "Current";

} // namespace

ui::Control &ColourSelector::list() const { return m_dialog->control(m_id); }

void ColourSelector::attach(ui::Dialog &dialog, int id) {
  m_dialog = &dialog;
  m_id = id;
  m_entries.assign(std::begin(kNamedColours), std::end(kNamedColours));
  m_entries.push_back({kCustom, {255, 255, 255}});
  ui::Control &c = list();
  c.items.clear();
  for (const Entry &e : m_entries)
    c.items.push_back(e.text);
  c.selected = 0;
}

void ColourSelector::setColour(ui::Rgb colour) {
  for (size_t i = 0; i < m_entries.size(); ++i)
    if (m_entries[i].colour == colour) {
      list().selected = int(i);
      return;
    }
  m_entries.push_back({kCurrent, colour});
  list().items.push_back(kCurrent);
  list().selected = int(m_entries.size()) - 1;
}

ui::Rgb ColourSelector::colour() const {
  const int selected = list().selected;
  return selected >= 0 && size_t(selected) < m_entries.size() ? m_entries[size_t(selected)].colour
                                                              : ui::Rgb{};
}

void ColourSelector::selectionChanged() {
  const int selected = list().selected;
  if (selected < 0 || size_t(selected) >= m_entries.size() ||
      m_entries[size_t(selected)].text != kCustom)
    return;
  if (const auto chosen = platformUi().chooseColour(ui::Rgb{0, 0, 0}))
    m_entries[size_t(selected)].colour = *chosen;
}

void ColourSelector::draw(const ui::DrawItemState &state, ui::DrawContext &dc) const {
  const ui::Rect &r = state.rect;
  dc.fillRect(
      r, dc.systemColour(state.selected ? ui::SystemColour::Highlight : ui::SystemColour::Window));
  if (state.index < 0 || size_t(state.index) >= m_entries.size())
    return;
  const Entry &entry = m_entries[size_t(state.index)];
  ui::Rgb text = dc.systemColour(ui::SystemColour::WindowText);
  if (state.selected)
    text = ui::unpackRgb(~ui::packRgb(text) & 0xFFFFFF);
  ui::Rgb swatch = entry.colour;
  if (state.disabled)
    text = swatch = dc.systemColour(ui::SystemColour::InactiveCaptionText);
  if (state.focused)
    dc.focusRect(r);
  const int w = r.width();
  dc.drawText(r.left + w / 4 + 2, r.top + 2, entry.text, text);
  ui::Rect box{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
  box.right = w / 4;
  dc.fillRect(box, swatch);
  dc.frameRect(box, ui::Rgb{0, 0, 0});
}

} // namespace sorvane
