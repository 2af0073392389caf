// Walking the document's existing bookmarks, and reading their titles as clean text.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "sdk/handles.h"

namespace sorvane {

// Deeper bookmarks than this are not visited.
inline constexpr int kMaxWalkDepth = 256;

// Visits the bookmarks below `start` depth-first, a parent before its children and siblings in
// order, `start` itself too unless `skipStart` is set. A callback that answers false stops the
// walk, and the result is false; a null start gives false without any call. A damaged outline
// cannot make the walk run forever: a bookmark met a second time ends the list it is met in, and
// levels deeper than kMaxWalkDepth are left out; `warnings` (when given) says where.
bool outlineWalk(BookmarkHandle start, const std::function<bool(BookmarkHandle)> &callback,
                 bool skipStart, std::vector<std::string> *warnings = nullptr);

// The bookmark's title as clean text: at most 255 bytes (whole characters), control characters
// as blanks, no blanks at either end. Empty for an invalid bookmark.
std::string getCleanTitle(BookmarkHandle bookmark);

} // namespace sorvane
