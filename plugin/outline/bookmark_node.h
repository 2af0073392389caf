// In-memory bookmarks: the trees generation builds before they go into the document outline.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plugin/outline/bookmark_action.h"
#include "plugin/outline/disp_attributes.h"
#include "sdk/handles.h"

namespace sorvane {

struct BookmarkNode {
  int32_t level = 0; // 0 is the top level
  std::string title = "Untitled";
  DispAttributes disp;
  BookmarkAction action;
  std::vector<BookmarkNode> children; // owned; copying a node copies its subtree

  // Level 0, "Untitled", plain black, no action (the destination is kept), no children.
  void reset();
  // A reset node titled `nodeTitle` that goes to `page`.
  void makeGoTo(std::string nodeTitle, int32_t page);

  // Places a copy of `node` below this node as a node of `nodeLevel`: under the most recently
  // added node of the level above. False (nothing placed) when `nodeLevel` is not below this
  // node's level or no chain of last children reaches the level above.
  bool addAtLevel(const BookmarkNode &node, int32_t nodeLevel);

  struct Inserted {
    bool ok = false;
    BookmarkHandle bookmark; // the bookmark made for this node, even when a later step failed
  };
  // Writes this node and its subtree into the outline of `doc` under `parent`: as its last
  // child when `append` is set or `sibling` is null, else after `sibling` (`afterSibling`) or
  // before it. Host failures end the insertion with ok false; what was written stays.
  Inserted insertIntoOutline(DocHandle doc, BookmarkHandle parent, BookmarkHandle sibling,
                             bool append, bool afterSibling) const;
};

} // namespace sorvane
