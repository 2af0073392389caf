#include "plugin/ui/bookmark_picker.h"

#include <unordered_set>
#include <vector>

#include "plugin/outline/outline_walk.h"
#include "plugin/ui/platform.h"
#include "sdk/host_error.h"

namespace sorvane {
namespace {

// Deeper outlines are not shown in full (a damaged one could go on for ever).
constexpr int kMaxPickerDepth = 256;

} // namespace

BookmarkPicker::BookmarkPicker(BookmarkHandle root) : ui::Dialog("Select Bookmark"), m_root(root) {
  add(ui::ControlKind::Group, kIdGroup, "", "Select a bookmark to use:");
  ui::Control &tree = add(ui::ControlKind::Tree, kIdTree, "bookmarks", "");
  tree.endsGroup = true;
  tree.icons = {"bookmark"};
  add(ui::ControlKind::Button, ui::kIdOk, "", "OK").isDefault = true;
  add(ui::ControlKind::Button, ui::kIdCancel, "", "Cancel");
}

void BookmarkPicker::onInit() {
  PDModelTable &pd = hostTables().pdModel.must();
  if (!pd.bookmarkIsValid(m_root) || !pd.bookmarkHasChildren(m_root))
    return;
  // Depth first, children in outline order; an invalid bookmark is left out with its subtree.
  struct Level {
    BookmarkHandle next;
    int parentEntry;
  };
  std::vector<Level> stack{{pd.bookmarkGetFirstChild(m_root), -1}};
  std::unordered_set<uint64_t> seen{m_root.value()};
  while (!stack.empty()) {
    Level &level = stack.back();
    const BookmarkHandle bm = level.next;
    if (!bm) {
      stack.pop_back();
      continue;
    }
    const int parentEntry = level.parentEntry;
    bool valid = false;
    try {
      valid = seen.insert(bm.value()).second && pd.bookmarkIsValid(bm);
      level.next = valid ? pd.bookmarkGetNext(bm) : BookmarkHandle();
    } catch (const HostError &) {
      level.next = BookmarkHandle();
    }
    if (!valid)
      continue;
    const int entry =
        addTreeItem(kIdTree, parentEntry, getCleanTitle(bm), 0, static_cast<int64_t>(bm.value()));
    if (int(stack.size()) < kMaxPickerDepth && pd.bookmarkHasChildren(bm))
      stack.push_back({pd.bookmarkGetFirstChild(bm), entry});
  }
}

void BookmarkPicker::onOk() {
  const ui::Control &tree = control(kIdTree);
  if (tree.selected < 0 || size_t(tree.selected) >= tree.tree.size()) {
    platformUi().messageBox(kNoBookmarkSelected, title(), ui::MessageButtons::Ok);
    return;
  }
  const int64_t data = tree.tree[size_t(tree.selected)].data;
  if (data == 0) {
    platformUi().messageBox(kSelectedBookmarkInvalid, title(), ui::MessageButtons::Ok);
    return;
  }
  m_picked = BookmarkHandle(static_cast<uint64_t>(data));
  end(ui::DialogResult::Ok);
}

std::optional<BookmarkHandle> chooseBookmark(BookmarkHandle root) {
  BookmarkPicker picker(root);
  if (platformUi().runModal(picker) != ui::DialogResult::Ok)
    return std::nullopt;
  return picker.picked();
}

} // namespace sorvane
