// The outline items of the open documents and their linking, as the "PDModel" table offers them.
#pragma once

#include <string>
#include <string_view>

#include "host/pdf/table_registry.h"

namespace sorvane::host {

class OutlineModel {
public:
  explicit OutlineModel(Registry &r) : m_reg(r) {}

  BookmarkHandle docGetBookmarkRoot(DocHandle doc);
  bool bookmarkIsValid(BookmarkHandle bm);
  std::string bookmarkGetTitle(BookmarkHandle bm);
  void bookmarkSetTitle(BookmarkHandle bm, std::string_view title);
  // The item `key` (First, Last, Next, Prev, Parent) leads to; null when there is none.
  BookmarkHandle link(BookmarkHandle bm, pdf_obj *key);
  BookmarkHandle bookmarkAddNewChild(BookmarkHandle parent, std::string_view title);
  BookmarkHandle bookmarkAddNewSibling(BookmarkHandle bm, std::string_view title);
  void bookmarkUnlink(BookmarkHandle bm);
  // Links the unlinked `bm` in next to `sibling`, before or after it.
  void linkBeside(BookmarkHandle bm, BookmarkHandle sibling, bool before);
  void bookmarkLinkAsLastChild(BookmarkHandle bm, BookmarkHandle parent);
  void bookmarkDestroy(BookmarkHandle bm);
  bool bookmarkIsOpen(BookmarkHandle bm);
  void bookmarkSetOpen(BookmarkHandle bm, bool open);
  HostRgb bookmarkGetColor(BookmarkHandle bm);
  void bookmarkSetColor(BookmarkHandle bm, const HostRgb &color);
  int32_t bookmarkGetFlags(BookmarkHandle bm);
  void bookmarkSetFlags(BookmarkHandle bm, int32_t flags);

  static bool isRoot(BookmarkHandle bm) { return slotOf(bm.value()) == DocumentEngine::kRootSlot; }
  // A bookmark that is an outline item, not the root. Throws HostError(BadParameter).
  Ref mustItem(BookmarkHandle bm);

private:
  // An outline item that is not linked into the outline (after bookmarkUnlink).
  Ref mustUnlinked(BookmarkHandle bm);
  // A new item titled `title` whose parent is `parent`, not yet linked among its siblings.
  static PdfObject newItem(const Ref &r, pdf_obj *parent, std::string_view title);
  BookmarkHandle handleOf(const Ref &r, pdf_obj *item);

  Registry &m_reg;
};

} // namespace sorvane::host
