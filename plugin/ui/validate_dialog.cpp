#include "plugin/ui/validate_dialog.h"

#include <cstdio>

#include "plugin/ui/platform.h"
#include "sdk/host_error.h"

namespace sorvane {
namespace {

constexpr const char *kWarnKey = "WarnAboutOutsideLinks";
constexpr const char *kVerifyKey = "VerifyExternalLinks";
constexpr int kPageModeBookmarks = 3;

std::string formatted(const char *format, int value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

} // namespace

ValidateDialog::ValidateDialog(DocHandle doc) : ui::Dialog("Validate Bookmarks"), m_doc(doc) {
  using ui::ControlKind;
  add(ControlKind::Static, kIdIntro, "",
      "All bookmarks will be validated automatically by verifying their actions and destination "
      "pages. All invalid actions and incorrect page references will be recorded and presented "
      "for the review.");
  add(ControlKind::Group, kIdSettings, "", "Settings");
  add(ControlKind::CheckBox, kIdOutside, "outside",
      "Warn about bookmarks pointing outside current document");
  add(ControlKind::CheckBox, kIdExternal, "external",
      "Verify links to external documents and files")
      .endsGroup = true;
  add(ControlKind::Group, kIdReportGroup, "", "Validation Report");
  add(ControlKind::Static, kIdHint, "",
      "Double-click on the problem item to edit a bookmark action:");
  add(ControlKind::Tree, kIdReport, "report", "").icons = {"no errors", "bookmark", "message"};
  add(ControlKind::Static, kIdStatus, "status", "").endsGroup = true;
  add(ControlKind::Button, kIdValidate, "validate", "Validate").isDefault = true;
  add(ControlKind::Button, ui::kIdCancel, "", "Close");
}

void ValidateDialog::onInit() {
  ui::UiServices &platform = platformUi();
  setChecked(kIdOutside, platform.profileInt(kValidatingSection, kWarnKey, 1) != 0);
  setChecked(kIdExternal, platform.profileInt(kValidatingSection, kVerifyKey, 0) != 0);
}

void ValidateDialog::moveBoxesIn() {
  m_warnOutside = checked(kIdOutside);
  m_verifyExternal = checked(kIdExternal);
}

void ValidateDialog::onEvent(int id, ui::Event event) {
  if (id == kIdValidate && event == ui::Event::Clicked) {
    moveBoxesIn();
    run();
  } else if (id == kIdReport && event == ui::Event::DoubleClicked) {
    editAction();
  }
}

void ValidateDialog::onCancel() {
  moveBoxesIn();
  ui::UiServices &platform = platformUi();
  platform.setProfileInt(kValidatingSection, kWarnKey, m_warnOutside ? 1 : 0);
  platform.setProfileInt(kValidatingSection, kVerifyKey, m_verifyExternal ? 1 : 0);
  end(ui::DialogResult::Cancel);
}

bool ValidateDialog::progress() {
  ui::UiServices &platform = platformUi();
  if (platform.takeButtonClick(*this, kIdValidate))
    return false;
  platform.pumpPaintMessages(11);
  ++m_processed;
  if (m_processed % 10 == 0)
    control(kIdStatus).text = formatted("Processing bookmarks: %d", m_processed);
  return true;
}

void ValidateDialog::run() {
  if (!m_doc) {
    viewer().alertNote(kNoActiveDocumentOpen);
    return;
  }
  control(kIdValidate).text = "Cancel";
  m_processed = 0;
  ui::Control &report = control(kIdReport);
  report.tree.clear();
  report.selected = -1;
  m_results.clear();
  try {
    validateOutline(m_doc, m_results, validateFlags(m_warnOutside, m_verifyExternal),
                    [this](BookmarkHandle) { return progress(); });
  } catch (const HostError &e) {
    // What was checked before the failure is still reported.
    viewer().alertNote(e.text());
  }
  control(kIdValidate).text = "Validate";
  control(kIdStatus).text = formatted("Total bookmarks processed: %d", m_processed);

  if (m_results.empty()) {
    addTreeItem(kIdReport, -1, kNoErrorsFound, kIconNoErrors, 0);
  } else {
    int number = 0;
    for (const ValidationResult &result : m_results) {
      const auto data = static_cast<int64_t>(result.bookmark.value());
      std::string path;
      try {
        path = getTitlePath(result.bookmark, '>');
      } catch (const HostError &) {
      }
      const int top =
          addTreeItem(kIdReport, -1, std::to_string(++number) + ". Bookmark: \"" + path + "\"",
                      kIconBookmark, data);
      control(kIdReport).tree[size_t(top)].expanded = true;
      for (const std::string &message : result.messages)
        addTreeItem(kIdReport, top, message, kIconMessage, data);
    }
  }
  control(kIdReport).selected = 0;
}

void ValidateDialog::editAction() {
  const ui::Control &report = control(kIdReport);
  if (report.selected < 0 || size_t(report.selected) >= report.tree.size())
    return;
  const BookmarkHandle bookmark(static_cast<uint64_t>(report.tree[size_t(report.selected)].data));
  try {
    PDModelTable &pd = hostTables().pdModel.must();
    if (!bookmark || !pd.bookmarkIsValid(bookmark))
      return;
    AcroViewTable &view = viewer();
    view.docViewSetPageMode(m_doc, kPageModeBookmarks);
    if (view.appGetActiveDoc() != m_doc && !view.docViewBringToFront(m_doc))
      return;
    pd.bookmarkSetOpen(bookmark, true);
    const ActionHandle action = pd.bookmarkGetAction(bookmark);
    const ActionHandle edited = view.actionPropertiesDialog(m_doc, action, kEditActionTitle);
    if (edited)
      pd.bookmarkSetAction(bookmark, edited);
  } catch (const HostError &e) {
    viewer().alertNote(e.text());
  }
}

} // namespace sorvane
