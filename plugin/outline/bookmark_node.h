// In-memory bookmarks: the trees generation builds before they go into the document outline.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plugin/outline/bookmark_action.h"
#include "plugin/values/disp_attributes.h"
#include "sdk/atom.h"
#include "sdk/handles.h"

namespace sorvane {

struct BookmarkNode {
  int32_t level = 0; // 0 is the top level
  std::string title = "Untitled";
  DispAttributes disp;
  BookmarkAction action;
  std::vector<BookmarkNode> children; // owned; copying a node copies its subtree
  // Where a generated node came from: the font and size of its line's first run, the line's box.
  struct Source {
    Atom font = Atom::Null;
    double size = 0;
    double left = 0, bottom = 0, right = 0, top = 0;
  } source;

  // Level 0, "Untitled", plain black, no action (the destination is kept), no children.
  void reset();
  // A reset node titled `nodeTitle` that goes to `page`.
  void makeGoTo(std::string nodeTitle, int32_t page);

  // Places a copy of `node` below this node as a node of `nodeLevel`: under the most recently
  // added node of the level above. False (nothing placed) when `nodeLevel` is not below this
  // node's level or no chain of last children reaches the level above.
  bool addAtLevel(const BookmarkNode &node, int32_t nodeLevel);

  struct Inserted {
    bool ok = false;         // the node and its whole subtree went in
    BookmarkHandle bookmark; // the bookmark made for this node, even when a later step failed
    int32_t count = 0;       // bookmarks of the subtree that went in complete
    // Nodes of the subtree that did not go in (or not complete); they point into this tree.
    std::vector<const BookmarkNode *> failed;
  };
  // Writes this node and its subtree into the outline of `doc` under `parent`: as its last
  // child when `append` is set or `sibling` is null, else after `sibling` (`afterSibling`) or
  // before it. A host failure on a node ends that node (its children not yet written are lost
  // with it) and is reported in `failed`; its siblings still go in, and what was written stays.
  // A Cancelled host error (the user's stop) is not a node's failure: it ends the insertion and
  // is thrown on, and the caller must throw away the partly changed outline.
  Inserted insertIntoOutline(DocHandle doc, BookmarkHandle parent, BookmarkHandle sibling,
                             bool append, bool afterSibling) const;
};

} // namespace sorvane
