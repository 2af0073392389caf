#include "plugin/outline/bookmark_node.h"

#include <algorithm>

#include "sdk/host_error.h"
#include "sdk/imported_tables.h"

namespace sorvane {
namespace {

// The outline colour (RGB fractions) of a settings colour.
HostRgb outlineColor(const ColorValue &c) {
  auto f = [](Fixed v) { return std::clamp(fixedToDouble(v), 0.0, 1.0); };
  switch (ColorSpace(c.space)) {
  case ColorSpace::DeviceGray: return {f(c.items[0]), f(c.items[0]), f(c.items[0])};
  case ColorSpace::DeviceRGB: return {f(c.items[0]), f(c.items[1]), f(c.items[2])};
  case ColorSpace::DeviceCMYK: {
    const double k = f(c.items[3]);
    auto channel = [&](Fixed ink) { return 1.0 - (k + (1.0 - k) * f(ink)); };
    return {channel(c.items[0]), channel(c.items[1]), channel(c.items[2])};
  }
  }
  return {0, 0, 0};
}

} // namespace

void BookmarkNode::reset() {
  level = 0;
  title = "Untitled";
  disp.reset();
  action.reset();
  children.clear();
}

void BookmarkNode::makeGoTo(std::string nodeTitle, int32_t page) {
  reset();
  title = std::move(nodeTitle);
  action.goToPage(page);
}

bool BookmarkNode::addAtLevel(const BookmarkNode &node, int32_t nodeLevel) {
  BookmarkNode *target = this;
  for (;;) {
    const int64_t distance = int64_t(nodeLevel) - target->level;
    if (distance <= 0)
      return false;
    if (distance == 1) {
      target->children.push_back(node);
      return true;
    }
    if (target->children.empty())
      return false;
    target = &target->children.back();
  }
}

BookmarkNode::Inserted BookmarkNode::insertIntoOutline(DocHandle doc, BookmarkHandle parent,
                                                       BookmarkHandle sibling, bool append,
                                                       bool afterSibling) const {
  Inserted result;
  size_t childrenDone = 0;
  try {
    PDModelTable &pd = hostTables().pdModel.must();
    if (!pd.bookmarkIsValid(parent))
      throw HostError(ErrorCode::BadParameter, "The parent bookmark is not valid.");
    BookmarkHandle made;
    if (append || !sibling) {
      made = pd.bookmarkAddNewChild(parent, title);
    } else if (afterSibling) {
      made = pd.bookmarkAddNewSibling(sibling, title);
    } else {
      made = pd.bookmarkAddNewChild(parent, title);
      pd.bookmarkUnlink(made);
      pd.bookmarkLinkBefore(made, sibling);
    }
    result.bookmark = made;
    if (!pd.bookmarkIsValid(made))
      throw HostError(ErrorCode::Generic, "The bookmark could not be made.");
    if (action.actionType != int32_t(ActionType::None)) {
      BookmarkAction copy = action;
      ActionHandle hostAction = copy.createHostAction(doc);
      if (!pd.actionIsValid(hostAction))
        throw HostError(ErrorCode::Generic, "The bookmark's action could not be made.");
      pd.bookmarkSetAction(made, hostAction);
    }
    for (const BookmarkNode &child : children) {
      Inserted c = child.insertIntoOutline(doc, made, BookmarkHandle(), true, true);
      result.count += c.count;
      result.failed.insert(result.failed.end(), c.failed.begin(), c.failed.end());
      ++childrenDone;
    }
    pd.bookmarkSetFlags(made, disp.styleFlags());
    pd.bookmarkSetOpen(made, disp.showOpen);
    pd.bookmarkSetColor(made, outlineColor(disp.color));
    result.count += 1;
  } catch (const HostError &e) {
    // A stop asked for by the user ends the whole insertion: what went in is not kept, so it
    // must not be counted as this node's failure either.
    if (e.code() == ErrorCode::Cancelled)
      throw;
    // This node did not go in complete, and its children not yet written are lost with it.
    result.failed.push_back(this);
    std::vector<const BookmarkNode *> pending;
    for (size_t k = childrenDone; k < children.size(); ++k)
      pending.push_back(&children[k]);
    while (!pending.empty()) {
      const BookmarkNode *node = pending.back();
      pending.pop_back();
      result.failed.push_back(node);
      for (const BookmarkNode &c : node->children)
        pending.push_back(&c);
    }
  }
  result.ok = result.failed.empty();
  return result;
}

} // namespace sorvane
