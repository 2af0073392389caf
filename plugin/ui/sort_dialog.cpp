#include "plugin/ui/sort_dialog.h"

#include "plugin/engine/settings_files.h"
#include "plugin/outline/outline_walk.h"
#include "plugin/ui/bookmark_picker.h"
#include "plugin/ui/platform.h"
#include "sdk/host_error.h"

namespace sorvane {

SortDialog::SortDialog(SortOptions &options, std::string defaultsFile)
    : ui::Dialog("Sort Bookmarks"), m_options(options), m_defaultsFile(std::move(defaultsFile)) {
  using ui::ControlKind;
  add(ControlKind::Group, kIdSelectGroup, "", "Select bookmarks to sort");
  ui::Control &level =
      add(ControlKind::DropDown, kIdLevel, "level", "Select bookmark level to sort:");
  for (int i = 1; i <= kLevels; ++i)
    level.items.push_back("Level " + std::to_string(i));
  add(ControlKind::CheckBox, kIdFilter, "filter",
      "Sort only bookmark(s) with the following title:");
  add(ControlKind::Edit, kIdTitle, "title", "").sameRow = true;
  ui::Control &pick = add(ControlKind::Button, kIdPick, "pick", "Select...");
  pick.sameRow = true;
  pick.opensMore = true;
  pick.endsGroup = true;
  add(ControlKind::Group, kIdSettingsGroup, "", "Settings");
  add(ControlKind::Radio, kIdAscending, "ascending", "Ascending").group = 1;
  add(ControlKind::Radio, kIdDescending, "descending", "Descending").group = 1;
  add(ControlKind::CheckBox, kIdIgnoreCase, "ignore-case", "Ignore text case");
  add(ControlKind::CheckBox, kIdChildren, "children", "Sort child bookmarks").endsGroup = true;
  add(ControlKind::Button, ui::kIdOk, "", "OK").isDefault = true;
  add(ControlKind::Button, ui::kIdCancel, "", "Cancel");
}

void SortDialog::onInit() {
  if (!m_defaultsFile.empty())
    loadDefaults(m_defaultsFile, [this](CabinetHandle defaults) { m_options.read(defaults); });
  moveIn();
  applyEnabling();
}

void SortDialog::moveIn() {
  setChecked(kIdFilter, m_options.useNameFilter);
  setChecked(kIdIgnoreCase, m_options.ignoreCase);
  setChecked(kIdChildren, m_options.sortChildren);
  control(kIdTitle).value = m_options.title;
  const int level = m_options.level;
  control(kIdLevel).selected = level >= 0 && level < kLevels ? level : -1;
  checkRadio(m_options.inverseOrder ? kIdDescending : kIdAscending);
}

void SortDialog::moveOut() {
  m_options.inverseOrder = checked(kIdDescending);
  m_options.sortChildren = checked(kIdChildren);
  m_options.ignoreCase = checked(kIdIgnoreCase);
  m_options.useNameFilter = checked(kIdFilter);
  m_options.title = control(kIdTitle).value;
  const int selected = control(kIdLevel).selected;
  m_options.level = selected >= 0 ? selected : 0;
}

void SortDialog::applyEnabling() {
  const bool filter = checked(kIdFilter);
  bool document = false;
  try {
    document = static_cast<bool>(viewer().appGetActiveDoc());
  } catch (const HostError &) {
  }
  setEnabled(kIdTitle, filter);
  setEnabled(kIdPick, filter && document);
}

void SortDialog::onEvent(int id, ui::Event event) {
  if (event != ui::Event::Clicked)
    return;
  if (id == kIdFilter) {
    applyEnabling();
  } else if (id == kIdPick) {
    try {
      const DocHandle doc = viewer().appGetActiveDoc();
      if (!doc)
        return;
      const BookmarkHandle root = hostTables().pdModel.must().docGetBookmarkRoot(doc);
      if (const auto picked = chooseBookmark(root))
        control(kIdTitle).value = getCleanTitle(*picked);
    } catch (const HostError &e) {
      viewer().alertNote(e.text());
    }
  }
}

void SortDialog::close(ui::DialogResult result) {
  moveOut();
  if (!m_defaultsFile.empty())
    rememberDefaults(m_defaultsFile, kSortingKey,
                     [this](CabinetHandle defaults) { m_options.write(defaults); });
  end(result);
}

} // namespace sorvane
