// Turning the headings found into bookmark trees and writing them into the outline.
#include <algorithm>

#include "plugin/engine/bookmark_builder.h"
#include "plugin/outline/delete_bookmarks.h"
#include "plugin/rules/title_format.h"
#include "sdk/imported_tables.h"

namespace sorvane {
namespace {

int32_t countNodes(const BookmarkNode &node) {
  int32_t count = 1;
  for (const BookmarkNode &child : node.children)
    count += countNodes(child);
  return count;
}

void removeRepeatedHeadings(std::vector<BookmarkNode> &found) {
  if (found.empty())
    return;
  std::vector<BookmarkNode> kept;
  kept.reserve(found.size());
  kept.push_back(std::move(found.front()));
  for (size_t i = 1; i < found.size(); ++i) {
    const BookmarkNode &before = kept.back();
    if (found[i].title == before.title && found[i].level == before.level)
      continue;
    kept.push_back(std::move(found[i]));
  }
  found.swap(kept);
}

} // namespace

void BookmarkBuilder::insertHeadings(DocHandle doc) {
  if (sortText) {
    std::sort(m_found.begin(), m_found.end(), [](const BookmarkNode &a, const BookmarkNode &b) {
      const BookmarkDest &da = a.action.dest;
      const BookmarkDest &db = b.action.dest;
      if (da.pageNum != db.pageNum)
        return da.pageNum < db.pageNum;
      return da.rect.top > db.rect.top;
    });
  }
  m_createdCount = 0;
  if (skipDupBookmarks)
    removeRepeatedHeadings(m_found);

  PDModelTable &pd = hostTables().pdModel.must();
  const BookmarkHandle root = pd.docGetBookmarkRoot(doc);
  BookmarkHandle anchor = pd.bookmarkGetFirstChild(root);
  bool append = true;
  bool afterAnchor = true;
  switch (InsertType(insertType)) {
  case InsertType::Before:
    if (anchor && pd.bookmarkIsValid(anchor))
      append = false;
    afterAnchor = false;
    break;
  case InsertType::Replace:
    deleteAllBookmarks(doc);
    anchor = BookmarkHandle();
    break;
  case InsertType::After: break;
  }

  LevelCounters counters;
  size_t i = 0;
  while (i < m_found.size()) {
    if (m_found[i].level != 0) {
      ++i; // nothing to hang a lower heading from before the first top-level one
      continue;
    }
    BookmarkNode tree = m_found[i++];
    bumpCounter(counters, 0);
    tree.title = labelAndFormat(tree.title, 0, counters, levels);
    for (; i < m_found.size() && m_found[i].level > tree.level; ++i) {
      BookmarkNode &node = m_found[i];
      bumpCounter(counters, node.level);
      node.title = labelAndFormat(node.title, node.level, counters, levels);
      tree.addAtLevel(node, node.level);
    }
    const BookmarkNode::Inserted inserted =
        tree.insertIntoOutline(doc, root, anchor, append, afterAnchor);
    if (inserted.bookmark)
      anchor = inserted.bookmark;
    if (inserted.ok)
      m_createdCount += countNodes(tree);
    afterAnchor = true;
  }
}

} // namespace sorvane
