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
                 bool skipStart, std::vector<WalkGap> *gaps) {
  PDModelTable &pd = hostTables().pdModel.must();
  if (!start || !pd.bookmarkIsValid(start))
    return false;
  if (!skipStart && !callback(start))
    return false;
  std::unordered_set<BookmarkHandle> seen{start};
  const auto leftOut = [&](WalkGap::Kind kind, BookmarkHandle at, BookmarkHandle metBefore) {
    if (!gaps)
      return;
    std::string message;
    if (kind == WalkGap::Kind::TooDeep)
      message = "The bookmarks below " + bookmarkName(at) + " are nested deeper than " +
                std::to_string(kMaxWalkDepth) + " levels; they were left out.";
    else
      message = std::string(kind == WalkGap::Kind::LoopAfter ? "The bookmark after "
                                                             : "The first child of ") +
                bookmarkName(at) + " leads back to " + bookmarkName(metBefore) +
                " (a loop); the bookmarks from there on were left out.";
    gaps->push_back(WalkGap{kind, at, metBefore, std::move(message)});
  };
  // Each list being walked: its next bookmark, the depth of the list, and the bookmark that led
  // to that next one (the parent while it is the first child, then the previous sibling).
  struct List {
    BookmarkHandle next;
    int depth;
    BookmarkHandle from;
    bool first;
  };
  std::vector<List> pending{{pd.bookmarkGetFirstChild(start), 1, start, true}};
  while (!pending.empty()) {
    List &list = pending.back();
    const BookmarkHandle bookmark = list.next;
    const int depth = list.depth;
    if (!bookmark) {
      pending.pop_back();
      continue;
    }
    if (!seen.insert(bookmark).second) {
      leftOut(list.first ? WalkGap::Kind::LoopBelow : WalkGap::Kind::LoopAfter, list.from,
              bookmark);
      pending.pop_back();
      continue;
    }
    list.next = pd.bookmarkGetNext(bookmark);
    list.from = bookmark;
    list.first = false;
    if (!callback(bookmark))
      return false;
    BookmarkHandle child = pd.bookmarkGetFirstChild(bookmark);
    if (!child)
      continue;
    if (depth >= kMaxWalkDepth) {
      leftOut(WalkGap::Kind::TooDeep, bookmark, BookmarkHandle());
      continue;
    }
    pending.push_back(List{child, depth + 1, bookmark, true});
  }
  return true;
}

std::string describeGaps(const std::vector<WalkGap> &gaps) {
  if (gaps.empty())
    return {};
  std::string text = "Not every bookmark was reached. " + gaps.front().message;
  if (gaps.size() > 1)
    text += " Bookmarks were left out in " + std::to_string(gaps.size() - 1) +
            (gaps.size() == 2 ? " more place." : " more places.");
  return text;
}

std::string bookmarkName(BookmarkHandle bookmark) {
  PDModelTable &pd = hostTables().pdModel.must();
  const std::string title = getCleanTitle(bookmark);
  // Only the root has neither a parent nor a title (an untitled bookmark still has a parent).
  if (title.empty() && bookmark && pd.bookmarkIsValid(bookmark) && !pd.bookmarkGetParent(bookmark))
    return "the outline root";
  return "\"" + title + "\"";
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
