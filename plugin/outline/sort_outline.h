// Sorting existing bookmarks by title.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "plugin/outline/outline_walk.h"
#include "plugin/values/record_fields.h"
#include "sdk/handles.h"

namespace sorvane {

struct SortOptions {
  bool inverseOrder = false;
  bool sortChildren = false;
  bool ignoreCase = false;
  bool useNameFilter = false;
  std::string title;
  int32_t level = 0; // 0 sorts the top-level bookmarks

  void reset() { *this = SortOptions(); }
  // A Cabinet under "Sorting"; false (parent untouched) when the host fails.
  bool write(CabinetHandle parent) const;
  // Without "Sorting": reset and false. In it, a missing "SortChildren" reads as true.
  bool read(CabinetHandle parent);
  static const Fields<SortOptions> &fields();

  bool operator==(const SortOptions &) const = default;
};

// The number of ancestors, the outline root counted: 0 for the root (and an invalid bookmark),
// 1 for a top-level bookmark, -1 for a null one.
int32_t bookmarkDepth(BookmarkHandle bookmark);

// Byte-wise comparison of titles, shorter prefix first: negative, zero or positive.
int compareTitles(std::string_view a, std::string_view b);

// Reorders the children of `bookmark` and of every bookmark below it as `options` say, keeping
// open states. False for an invalid bookmark. Host failures throw. A damaged outline is sorted
// as far as it can be walked (outlineWalk's limits); `gaps` (when given) gets what was not.
bool sortOutline(
    BookmarkHandle bookmark, const SortOptions &options,
    const std::function<int(std::string_view, std::string_view)> &compare = compareTitles,
    std::vector<WalkGap> *gaps = nullptr);

} // namespace sorvane
