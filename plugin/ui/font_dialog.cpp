#include "plugin/ui/font_dialog.h"

#include <algorithm>

#include "plugin/ui/platform.h"
#include "sdk/host_error.h"

namespace sorvane {
namespace {

constexpr const char *kNoDocument =
    "No active document available. Please open a document and try again.";

} // namespace

std::vector<std::string> &knownDocumentFonts() {
  static std::vector<std::string> fonts;
  return fonts;
}

const std::vector<std::string> &standardFontNames() {
  static const std::vector<std::string> names = {
      "Arial",        "ArialMT", "Helvetica",  "Helvetica-Bold", "Helvetica-Italic", "Courier",
      "Courier-Bold", "Times",   "Times-Bold", "Times-Italic",   "Times-Roman"};
  return names;
}

FontNameDialog::FontNameDialog() : ui::Dialog("Font Name") {
  add(ui::ControlKind::Group, kIdGroup, "", "Select font name");
  add(ui::ControlKind::List, kIdList, "fonts", "");
  ui::Control &update = add(ui::ControlKind::Button, kIdUpdate, "", "Update Fonts");
  update.sameRow = true; // beside the list
  update.endsGroup = true;
  add(ui::ControlKind::Button, ui::kIdOk, "", "OK").isDefault = true;
  add(ui::ControlKind::Button, ui::kIdCancel, "", "Cancel");
}

void FontNameDialog::show(const std::vector<std::string> &names) {
  ui::Control &list = control(kIdList);
  list.items = names;
  std::sort(list.items.begin(), list.items.end()); // the list keeps its entries sorted
  list.selected = -1;
}

void FontNameDialog::onInit() {
  show(knownDocumentFonts().empty() ? standardFontNames() : knownDocumentFonts());
}

void FontNameDialog::onEvent(int id, ui::Event event) {
  if (id == kIdUpdate && event == ui::Event::Clicked)
    updateFonts();
}

void FontNameDialog::updateFonts() {
  AcroViewTable &view = viewer();
  const DocHandle doc = view.appGetActiveDoc();
  if (!doc) {
    view.alertNote(kNoDocument);
    return;
  }
  PDModelTable &pd = hostTables().pdModel.must();
  const int32_t pages = pd.docGetNumPages(doc);
  if (pages > kQuietFontEnumerationPages && !view.alertConfirm(kEnumerateFontsQuestion))
    return;
  ui::UiServices &platform = platformUi();
  platform.pumpPaintMessages(101);
  platform.setWaitCursor(true);
  std::vector<std::string> &known = knownDocumentFonts();
  known.clear();
  try {
    void *data = nullptr;
    const ProgressMonitor *monitor = view.docProgressMonitor(&data);
    pd.docEnumFonts(
        doc, 0, pages - 1,
        [&known](std::string_view name) {
          // The host's name buffer holds 63 bytes.
          const std::string_view kept = name.substr(0, 63);
          if (!kept.empty() && std::find(known.begin(), known.end(), kept) == known.end())
            known.emplace_back(kept);
        },
        monitor, data);
  } catch (const HostError &e) {
    view.alertNote(e.text());
  }
  show(known);
  if (known.empty()) {
    view.alertNote(kNoFontsFound);
    show(standardFontNames());
  }
  platform.setWaitCursor(false);
}

void FontNameDialog::onOk() {
  const ui::Control &list = control(kIdList);
  if (list.selected < 0 || size_t(list.selected) >= list.items.size()) {
    platformUi().messageBox(kSelectFontName, title(), ui::MessageButtons::Ok);
    return;
  }
  m_chosen = list.items[size_t(list.selected)];
  end(ui::DialogResult::Ok);
}

bool captureStyle(FontDesc &font) {
  AcroViewTable &view = viewer();
  const DocHandle doc = view.appGetActiveDoc();
  if (!doc) {
    view.alertNote(kNoDocument);
    return false;
  }
  const DocSelection selection = view.docViewGetSelection(doc);
  if (selection.type != "Text") {
    view.alertNote(kNoTextSelection);
    return false;
  }
  CoreTable &core = hostTables().core.must();
  font.fonts.clear();
  for (const SelectedTextPiece &piece : selection.pieces) {
    font.fontSize = piece.size;
    font.color.setRgb(piece.colour[0], piece.colour[1], piece.colour[2]);
    if (piece.text.empty())
      continue;
    const std::string_view name = std::string_view(piece.fontName).substr(0, 63);
    if (name.empty())
      continue;
    const Atom atom = core.atomFromString(name);
    if (std::find(font.fonts.begin(), font.fonts.end(), atom) == font.fonts.end())
      font.fonts.push_back(atom);
  }
  return true;
}

} // namespace sorvane
