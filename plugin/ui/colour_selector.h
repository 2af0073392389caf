// A drop-down list of named colours, each drawn with a swatch, with "Custom..." for any other
// colour and "Current" for a colour set from outside that has no entry.
#pragma once

#include <string>
#include <vector>

#include "sdk/platform_ui.h"

namespace sorvane {

class ColourSelector {
public:
  struct Entry {
    std::string text;
    ui::Rgb colour;
  };

  // Fills the owner-drawn list `id` of `dialog` (which must outlive the selector) and selects
  // "Black".
  void attach(ui::Dialog &dialog, int id);

  // Selects the first entry with exactly `colour`, or adds "Current" with it.
  void setColour(ui::Rgb colour);
  ui::Rgb colour() const;
  // After the user selected another entry: "Custom..." opens the colour chooser.
  void selectionChanged();
  // Draws one entry as the list asks.
  void draw(const ui::DrawItemState &state, ui::DrawContext &dc) const;

  const std::vector<Entry> &entries() const { return m_entries; }

private:
  ui::Control &list() const;

  ui::Dialog *m_dialog = nullptr;
  int m_id = 0;
  std::vector<Entry> m_entries;
};

} // namespace sorvane
