// Printing the pages that bookmarks lead to.
#pragma once

#include <cstdint>
#include <vector>

#include "plugin/outline/outline_walk.h"
#include "sdk/handles.h"

namespace sorvane {

// Prints, without asking, each page a bookmark of `doc` leads to, one request per bookmark in
// outline order (a page several bookmarks lead to comes out as often). The number of requests;
// 0 without a document. `gaps` (when given) gets the parts of a damaged outline that could not be
// reached, whose pages were not printed. Host failures (of the printer) throw.
int32_t printBookmarkedPages(DocHandle doc, std::vector<WalkGap> *gaps = nullptr);

} // namespace sorvane
