// What a bookmark does when it is clicked, and reading back the page an existing action leads to.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "plugin/outline/bookmark_dest.h"
#include "sdk/handles.h"

namespace sorvane {

enum class ActionType : int32_t { None = 0, GoToPage = 1 };

struct BookmarkAction {
  int32_t actionType = int32_t(ActionType::None);
  BookmarkDest dest;

  // Clears the kind; the destination stays as it was.
  void reset() { actionType = int32_t(ActionType::None); }
  // A go-to action to `page` with the "Fit" view; the caller sets the rest of the view.
  void goToPage(int32_t page);
  // A host go-to action for the destination (which may fall back to page 0). Host failures throw.
  ActionHandle createHostAction(DocHandle doc);

  bool operator==(const BookmarkAction &) const = default;
};

struct ActionPage {
  bool resolved = false;
  int32_t page = -1; // -1: the action leads to no page
};

// The page an existing action of `doc` leads to. Never throws for a bad action: an invalid
// action, an unresolvable destination or a script without a page assignment are not resolved;
// kinds that lead nowhere (URI, Launch, Named, ...) are resolved with page -1.
ActionPage resolveActionPage(DocHandle doc, ActionHandle action);

// The page a script assigns with "this.pageNum = N", read the way "%d" reads it; nothing when
// the script has no such assignment.
std::optional<int32_t> parsePageNumScript(std::string_view script);

} // namespace sorvane
