// Walking the document's existing bookmarks, and reading their titles as clean text.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "sdk/handles.h"

namespace sorvane {

// Deeper bookmarks than this are not visited.
inline constexpr int kMaxWalkDepth = 256;

// A part of the outline that a walk left out.
struct WalkGap {
  enum class Kind : int32_t {
    LoopAfter = 0, // the bookmark after `at` is one the walk met before
    LoopBelow = 1, // the first child of `at` is one the walk met before
    TooDeep = 2,   // the children of `at` lie deeper than kMaxWalkDepth
  };
  Kind kind = Kind::LoopAfter;
  BookmarkHandle at;
  BookmarkHandle metBefore; // for a loop: the bookmark the outline leads back to
  std::string message;      // what was left out, in words for the user
};

// Visits the bookmarks below `start` depth-first, a parent before its children and siblings in
// order, `start` itself too unless `skipStart` is set. A callback that answers false stops the
// walk, and the result is false; a null start gives false without any call. A damaged outline
// cannot make the walk run forever: a bookmark met a second time ends the list it is met in, and
// levels deeper than kMaxWalkDepth are left out; `gaps` (when given) gets each place where that
// happened, in the order the walk met them.
bool outlineWalk(BookmarkHandle start, const std::function<bool(BookmarkHandle)> &callback,
                 bool skipStart, std::vector<WalkGap> *gaps = nullptr);

// One message for the user that says what the walk with `gaps` left out; empty when nothing.
std::string describeGaps(const std::vector<WalkGap> &gaps);

// How a message names `bookmark`: its title in quotes, or "the outline root" for the root.
std::string bookmarkName(BookmarkHandle bookmark);

// The bookmark's title as clean text: at most 255 bytes (whole characters), control characters
// as blanks, no blanks at either end. Empty for an invalid bookmark.
std::string getCleanTitle(BookmarkHandle bookmark);

} // namespace sorvane
