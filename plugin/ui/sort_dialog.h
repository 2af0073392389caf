// "Sort Bookmarks": the options of a sort, remembered in the defaults file under "Sorting".
#pragma once

#include <string>

#include "plugin/outline/sort_outline.h"
#include "sdk/platform_ui.h"

namespace sorvane {

class SortDialog final : public ui::Dialog {
public:
  enum : int {
    kIdSelectGroup = 100,
    kIdLevel,
    kIdFilter,
    kIdTitle,
    kIdPick,
    kIdSettingsGroup,
    kIdAscending,
    kIdDescending,
    kIdIgnoreCase,
    kIdChildren,
  };
  static constexpr int kLevels = 10;

  // Edits `options` in place. With a defaults file the dialog starts from the options
  // remembered there and remembers them when it closes (with OK or Cancel); with an empty path
  // it remembers nothing.
  SortDialog(SortOptions &options, std::string defaultsFile);

  void onInit() override;
  void onEvent(int id, ui::Event event) override;
  void onOk() override { close(ui::DialogResult::Ok); }
  void onCancel() override { close(ui::DialogResult::Cancel); }

private:
  void moveIn();
  void moveOut();
  void applyEnabling();
  void close(ui::DialogResult result);

  SortOptions &m_options;
  std::string m_defaultsFile;
};

} // namespace sorvane
