#include "plugin/outline/outline_walk.h"

#include <unordered_set>
#include <utility>

#include "sdk/imported_tables.h"
#include "sdk/text_codec.h"

namespace sorvane {
namespace {

constexpr size_t kMaxTitleBytes = 255;

} // namespace

bool outlineWalk(BookmarkHandle start, const std::function<bool(BookmarkHandle)> &callback,
                 bool skipStart, std::vector<std::string> *warnings) {
  PDModelTable &pd = hostTables().pdModel.must();
  if (!start || !pd.bookmarkIsValid(start))
    return false;
  if (!skipStart && !callback(start))
    return false;
  std::unordered_set<BookmarkHandle> seen{start};
  bool warnedDepth = false;
  // The next bookmark of each list being walked, with the depth of that list.
  std::vector<std::pair<BookmarkHandle, int>> pending{{pd.bookmarkGetFirstChild(start), 1}};
  while (!pending.empty()) {
    auto [bookmark, depth] = pending.back();
    if (!bookmark) {
      pending.pop_back();
      continue;
    }
    if (!seen.insert(bookmark).second) {
      if (warnings)
        warnings->push_back("The outline leads back to the bookmark \"" + getCleanTitle(bookmark) +
                            "\"; the walk left that list there.");
      pending.pop_back();
      continue;
    }
    pending.back().first = pd.bookmarkGetNext(bookmark);
    if (!callback(bookmark))
      return false;
    BookmarkHandle child = pd.bookmarkGetFirstChild(bookmark);
    if (!child)
      continue;
    if (depth >= kMaxWalkDepth) {
      if (warnings && !warnedDepth)
        warnings->push_back("The outline is nested deeper than " + std::to_string(kMaxWalkDepth) +
                            " levels; the deeper bookmarks were left out.");
      warnedDepth = true;
      continue;
    }
    pending.emplace_back(child, depth + 1);
  }
  return true;
}

std::string getCleanTitle(BookmarkHandle bookmark) {
  PDModelTable &pd = hostTables().pdModel.must();
  if (!bookmark || !pd.bookmarkIsValid(bookmark))
    return {};
  std::string title(truncateUtf8(pd.bookmarkGetTitle(bookmark), kMaxTitleBytes));
  for (char &c : title) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 32 || b == 127)
      c = ' ';
  }
  const size_t end = title.find_last_not_of(' ');
  if (end == std::string::npos)
    return {};
  const size_t begin = title.find_first_not_of(' ');
  return title.substr(begin, end - begin + 1);
}

} // namespace sorvane
