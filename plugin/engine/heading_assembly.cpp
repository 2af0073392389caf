// Turning the headings found into bookmark trees and writing them into the outline.
#include <algorithm>

#include "plugin/engine/bookmark_builder.h"
#include "plugin/engine/generation_run.h"
#include "plugin/outline/delete_bookmarks.h"
#include "plugin/rules/title_format.h"
#include "sdk/host_error.h"
#include "sdk/imported_tables.h"

namespace sorvane {

void GenerationRun::drop(const BookmarkNode &node, DropReason reason) {
  m_outcome.dropped.push_back(
      DroppedHeading{node.title, node.action.dest.pageNum, node.level, reason});
}

void GenerationRun::placed(const BookmarkNode &node) {
  FoundHeading h;
  h.title = node.title;
  h.page = node.action.dest.pageNum;
  h.level = node.level;
  if (node.source.font != Atom::Null)
    h.font = std::string(hostTables().core->atomGetString(node.source.font));
  h.size = node.source.size;
  h.left = node.source.left;
  h.bottom = node.source.bottom;
  h.right = node.source.right;
  h.top = node.source.top;
  m_outcome.headings.push_back(std::move(h));
}

std::vector<BookmarkNode> GenerationRun::assembleTrees(bool &anyTopLevel) {
  if (m_settings.sortText) {
    std::sort(m_found.begin(), m_found.end(), [](const BookmarkNode &a, const BookmarkNode &b) {
      const BookmarkDest &da = a.action.dest;
      const BookmarkDest &db = b.action.dest;
      if (da.pageNum != db.pageNum)
        return da.pageNum < db.pageNum;
      return da.rect.top > db.rect.top;
    });
  }
  if (m_settings.skipDupBookmarks && !m_found.empty()) {
    // Only neighbours are compared, on the raw titles.
    std::vector<BookmarkNode> kept;
    kept.reserve(m_found.size());
    kept.push_back(std::move(m_found.front()));
    for (size_t i = 1; i < m_found.size(); ++i) {
      if (m_found[i].title == kept.back().title && m_found[i].level == kept.back().level)
        drop(m_found[i], DropReason::Duplicate);
      else
        kept.push_back(std::move(m_found[i]));
    }
    m_found.swap(kept);
  }
  anyTopLevel = std::any_of(m_found.begin(), m_found.end(),
                            [](const BookmarkNode &n) { return n.level == 0; });

  std::vector<BookmarkNode> trees;
  const bool keepOrphans = m_settings.keepOrphanHeadings;
  LevelCounters counters;
  size_t i = 0;
  while (i < m_found.size()) {
    if (m_found[i].level != 0 && !keepOrphans) {
      // Nothing to hang a lower heading from before the first top-level one.
      drop(m_found[i++], DropReason::NoParentLevel);
      continue;
    }
    // A tree starts at a top-level heading, or (orphans kept) at any heading with no higher
    // one before it.
    BookmarkNode tree = m_found[i++];
    bumpCounter(counters, tree.level);
    tree.title = labelAndFormat(tree.title, tree.level, counters, m_settings.levels);
    for (; i < m_found.size() && m_found[i].level > tree.level; ++i) {
      BookmarkNode &node = m_found[i];
      bumpCounter(counters, node.level);
      node.title = labelAndFormat(node.title, node.level, counters, m_settings.levels);
      if (tree.addAtLevel(node, node.level))
        continue;
      if (!keepOrphans) {
        drop(node, DropReason::NoParentLevel);
        continue;
      }
      // Under the nearest earlier heading of a higher level: the deepest last child above it.
      BookmarkNode *parent = &tree;
      while (!parent->children.empty() && parent->children.back().level < node.level)
        parent = &parent->children.back();
      parent->children.push_back(node);
    }
    trees.push_back(std::move(tree));
  }
  return trees;
}

void GenerationRun::placedTree(const BookmarkNode &tree) {
  placed(tree);
  for (const BookmarkNode &child : tree.children)
    placedTree(child);
}

void GenerationRun::insertHeadings(DocHandle doc) {
  m_outcome.bookmarksInserted = 0;
  bool anyTree = false;
  std::vector<BookmarkNode> trees = assembleTrees(anyTree);

  PDModelTable &pd = hostTables().pdModel.must();
  const BookmarkHandle root = pd.docGetBookmarkRoot(doc);
  BookmarkHandle anchor = pd.bookmarkGetFirstChild(root);
  bool append = true;
  bool afterAnchor = true;
  switch (InsertType(m_settings.insertType)) {
  case InsertType::Before:
    if (anchor && pd.bookmarkIsValid(anchor))
      append = false;
    afterAnchor = false;
    break;
  case InsertType::Replace:
    // A run that has nothing to put in their place leaves the existing bookmarks alone.
    if (anyTree && !deleteAllBookmarks(doc))
      throw HostError(ErrorCode::Generic, "The existing bookmarks could not all be deleted.");
    anchor = BookmarkHandle();
    break;
  case InsertType::After: break;
  }

  // Asked to stop, the run ends as cancelled wherever it is; the host throws the partly
  // changed document away.
  for (BookmarkNode &tree : trees) {
    stopIfAsked(m_monitor, m_monitorData);
    placedTree(tree);
    const BookmarkNode::Inserted inserted =
        tree.insertIntoOutline(doc, root, anchor, append, afterAnchor);
    if (inserted.bookmark)
      anchor = inserted.bookmark;
    m_outcome.bookmarksInserted += inserted.count;
    for (const BookmarkNode *lost : inserted.failed)
      drop(*lost, DropReason::NotInserted);
    afterAnchor = true;
  }
  stopIfAsked(m_monitor, m_monitorData);
}

} // namespace sorvane
