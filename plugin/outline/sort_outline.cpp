#include "plugin/outline/sort_outline.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

#include "plugin/outline/outline_walk.h"
#include "plugin/values/cabinet_io.h"
#include "plugin/values/text_case.h"
#include "plugin/values/text_values.h"
#include "sdk/imported_tables.h"

namespace sorvane {
namespace {

struct Entry {
  BookmarkHandle bookmark;
  std::string key;
};

struct Sorter {
  const SortOptions &options;
  const std::function<int(std::string_view, std::string_view)> &compare;
  std::unordered_set<BookmarkHandle> visited;

  void sortBelow(BookmarkHandle b, int depth);
};

void Sorter::sortBelow(BookmarkHandle b, int depth) {
  PDModelTable &pd = hostTables().pdModel.must();
  if (!pd.bookmarkHasChildren(b) || depth >= kMaxWalkDepth)
    return;
  const bool nameOk = !options.useNameFilter || getCleanTitle(b) == options.title;
  const bool wasOpen = pd.bookmarkIsOpen(b);
  std::vector<Entry> entries;
  for (BookmarkHandle c = pd.bookmarkGetFirstChild(b); c && visited.insert(c).second;
       c = pd.bookmarkGetNext(c)) {
    std::string key = getCleanTitle(c);
    entries.push_back({c, options.ignoreCase ? toLowerText(key) : std::move(key)});
  }
  const int32_t d = bookmarkDepth(b);
  const bool sortHere =
      (d == options.level || (d > options.level && options.sortChildren)) && nameOk;
  if (sortHere) {
    if (entries.size() > 1)
      std::sort(entries.begin(), entries.end(),
                [&](const Entry &x, const Entry &y) { return compare(x.key, y.key) < 0; });
    for (const Entry &e : entries)
      pd.bookmarkUnlink(e.bookmark);
    if (options.inverseOrder)
      std::reverse(entries.begin(), entries.end());
    for (size_t i = 0; i < entries.size(); ++i) {
      if (i == 0)
        pd.bookmarkLinkAsLastChild(entries[i].bookmark, b);
      else
        pd.bookmarkLinkAfter(entries[i].bookmark, entries[i - 1].bookmark);
    }
    if (bookmarkDepth(b) > 0)
      pd.bookmarkSetOpen(b, wasOpen);
  }
  for (const Entry &e : entries)
    sortBelow(e.bookmark, depth + 1);
  if (bookmarkDepth(b) > 0)
    pd.bookmarkSetOpen(b, wasOpen);
}

} // namespace

const Fields<SortOptions> &SortOptions::fields() {
  using S = SortOptions;
  static const Fields<S> table = {
      fields::boolean("InverseOrder", &S::inverseOrder, false),
      fields::boolean("SortChildren", &S::sortChildren, true),
      fields::boolean("IgnoreCase", &S::ignoreCase, false),
      fields::boolean("UseNameFilter", &S::useNameFilter, false),
      fields::integer("Level", &S::level, 0, 0),
      fields::text("Title", &S::title),
  };
  return table;
}

bool SortOptions::write(CabinetHandle parent) const {
  return writeRecord(*this, fields(), "Sorting", parent);
}

bool SortOptions::read(CabinetHandle parent) {
  return readRecord(*this, fields(), "Sorting", parent, [this] { reset(); });
}

int32_t bookmarkDepth(BookmarkHandle bookmark) {
  PDModelTable &pd = hostTables().pdModel.must();
  if (!bookmark)
    return -1;
  if (!pd.bookmarkIsValid(bookmark))
    return 0;
  int32_t depth = 0;
  std::unordered_set<BookmarkHandle> seen{bookmark};
  for (BookmarkHandle p = pd.bookmarkGetParent(bookmark); p && seen.insert(p).second;
       p = pd.bookmarkGetParent(p))
    ++depth;
  return depth;
}

int compareTitles(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (x != y)
      return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool sortOutline(BookmarkHandle bookmark, const SortOptions &options,
                 const std::function<int(std::string_view, std::string_view)> &compare,
                 std::vector<WalkGap> *gaps) {
  PDModelTable &pd = hostTables().pdModel.must();
  if (!bookmark || !pd.bookmarkIsValid(bookmark))
    return false;
  // What the sort cannot reach, it cannot sort: found by the walk every outline reader shares,
  // before the order changes.
  if (gaps)
    outlineWalk(
        bookmark, [](BookmarkHandle) { return true; }, true, gaps);
  Sorter sorter{options, compare, {bookmark}};
  sorter.sortBelow(bookmark, 0);
  return true;
}

} // namespace sorvane
