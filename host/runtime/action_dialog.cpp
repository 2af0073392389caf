#include "host/runtime/action_dialog.h"

#include "host/base/view_kinds.h"
#include "sdk/host_error.h"

namespace sorvane::host {
namespace {

struct ViewChoice {
  const char *text;
  FitType fitType;
};
constexpr ViewChoice kViews[] = {
    {"Fit Page", FitType::Fit},     {"Fit Width", FitType::FitH},   {"Fit Height", FitType::FitV},
    {"Fit Visible", FitType::FitB}, {"Inherit Zoom", FitType::XYZ},
};

// The title of the bookmark whose action `action` is, found by walking the outline; empty when
// none is (or the outline is too large to walk while a dialog opens).
std::string bookmarkWithAction(PDModelTable &pd, DocHandle doc, ActionHandle action) {
  constexpr int kMostBookmarks = 200000;
  int visited = 0;
  BookmarkHandle at = pd.bookmarkGetFirstChild(pd.docGetBookmarkRoot(doc));
  while (at && ++visited <= kMostBookmarks) {
    if (pd.bookmarkGetAction(at).value() == action.value())
      return pd.bookmarkGetTitle(at);
    if (const BookmarkHandle child = pd.bookmarkGetFirstChild(at)) {
      at = child;
      continue;
    }
    while (at && !pd.bookmarkGetNext(at))
      at = pd.bookmarkGetParent(at);
    if (at)
      at = pd.bookmarkGetNext(at);
  }
  return {};
}

} // namespace

ActionDialog::ActionDialog(PDModelTable &pd, CoreTable &core, DocHandle doc, ActionHandle action,
                           std::string_view title, ui::UiServices &ui)
    : ui::Dialog(std::string(title)), m_pd(pd), m_core(core), m_doc(doc), m_action(action),
      m_ui(ui) {
  using ui::ControlKind;
  add(ControlKind::Static, kIdBookmark, "bookmark", "");
  add(ControlKind::Static, kIdCurrent, "current", "");
  add(ControlKind::Edit, kIdPage, "page", "Go to page:").digitsOnly = true;
  ui::Control &view = add(ControlKind::DropDown, kIdView, "view", "View:");
  for (const ViewChoice &v : kViews)
    view.items.push_back(v.text);
  add(ControlKind::Button, ui::kIdOk, "", "OK").isDefault = true;
  add(ControlKind::Button, ui::kIdCancel, "", "Cancel");
}

void ActionDialog::onInit() {
  std::string current = "The bookmark has no action.";
  int page = 0;
  control(kIdView).selected = 0;
  try {
    if (m_pd.actionIsValid(m_action)) {
      const std::string subtype(m_core.atomGetString(m_pd.actionGetSubtype(m_action)));
      current = "Current action: " + subtype;
      if (const ViewDestHandle dest = m_pd.actionGetDest(m_action)) {
        const ViewDestHandle resolved = m_pd.viewDestResolve(dest, m_doc);
        const int32_t index = resolved ? m_pd.viewDestGetPageIndex(resolved) : -1;
        if (index >= 0) {
          page = index + 1;
          current += ", page " + std::to_string(page);
          const std::optional<FitType> fit =
              fitTypeNamed(m_core.atomGetString(m_pd.viewDestGetFitType(resolved)));
          for (size_t i = 0; i < std::size(kViews); ++i)
            if (fit == kViews[i].fitType)
              control(kIdView).selected = int(i);
        }
      }
    }
  } catch (const HostError &) {
    current = "The bookmark's action cannot be read.";
  }
  // The window's title is the caller's and may be cut by the title bar: the dialog itself says
  // which bookmark it edits.
  std::string bookmark;
  try {
    if (m_action)
      bookmark = bookmarkWithAction(m_pd, m_doc, m_action);
  } catch (const HostError &) {
  }
  control(kIdBookmark).text = bookmark.empty() ? "" : "Bookmark: \u201c" + bookmark + "\u201d";
  control(kIdCurrent).text = current;
  control(kIdPage).value = page > 0 ? std::to_string(page) : "1";
}

void ActionDialog::onOk() {
  const int32_t pages = m_pd.docGetNumPages(m_doc);
  const std::string &text = control(kIdPage).value;
  long page = 0;
  if (!text.empty() && text.size() < 10)
    page = std::stol(text);
  if (page < 1 || page > pages) {
    m_ui.messageBox("Enter a page number from 1 to " + std::to_string(pages) + ".", title(),
                    ui::MessageButtons::Ok);
    return;
  }
  const int selected = control(kIdView).selected;
  const ViewChoice &view = kViews[selected >= 0 ? size_t(selected) : 0];
  const PageHandle pageHandle = m_pd.docAcquirePage(m_doc, int32_t(page - 1));
  try {
    const HostRect box = m_pd.pageGetCropBox(pageHandle);
    const ViewDestHandle dest = m_pd.viewDestCreate(
        m_doc, pageHandle, m_core.atomFromString(nameOf(view.fitType)), box, 0.0);
    m_result = m_pd.actionNewFromDest(m_doc, dest, m_doc);
  } catch (...) {
    m_pd.pageRelease(pageHandle);
    throw;
  }
  m_pd.pageRelease(pageHandle);
  end(ui::DialogResult::Ok);
}

ActionHandle editActionProperties(ui::UiServices &ui, PDModelTable &pd, CoreTable &core,
                                  DocHandle doc, ActionHandle action, std::string_view title) {
  ActionDialog dialog(pd, core, doc, action, title, ui);
  if (ui.runModal(dialog) != ui::DialogResult::Ok)
    return ActionHandle();
  return dialog.result();
}

} // namespace sorvane::host
