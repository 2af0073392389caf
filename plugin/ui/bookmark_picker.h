// "Select Bookmark": a document's outline as a tree, from which the user picks one bookmark.
#pragma once

#include <optional>

#include "sdk/handles.h"
#include "sdk/platform_ui.h"

namespace sorvane {

inline constexpr const char *kNoBookmarkSelected = "No bookmark is selected.";
inline constexpr const char *kSelectedBookmarkInvalid = "The selected bookmark is invalid.";

class BookmarkPicker final : public ui::Dialog {
public:
  enum : int { kIdGroup = 100, kIdTree };

  explicit BookmarkPicker(BookmarkHandle root);
  void onInit() override;
  void onOk() override;
  // The bookmark picked with OK.
  BookmarkHandle picked() const { return m_picked; }

private:
  BookmarkHandle m_root;
  BookmarkHandle m_picked;
};

// Runs the picker on the outline below `root`: the bookmark picked, or nothing on Cancel.
std::optional<BookmarkHandle> chooseBookmark(BookmarkHandle root);

} // namespace sorvane
