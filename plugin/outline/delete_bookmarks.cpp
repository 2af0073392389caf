#include "plugin/outline/delete_bookmarks.h"

#include <unordered_set>

#include "sdk/imported_tables.h"

namespace sorvane {

bool deleteAllBookmarks(DocHandle doc) {
  PDModelTable &pd = hostTables().pdModel.must();
  BookmarkHandle root = pd.docGetBookmarkRoot(doc);
  std::unordered_set<BookmarkHandle> seen;
  for (BookmarkHandle child = pd.bookmarkGetFirstChild(root); child && seen.insert(child).second;) {
    BookmarkHandle next = pd.bookmarkGetNext(child);
    pd.bookmarkDestroy(child);
    child = next;
  }
  // A list that led back into itself can leave the root pointing at a removed bookmark.
  if (pd.bookmarkHasChildren(root))
    pd.bookmarkDestroy(root);
  return !pd.bookmarkHasChildren(root);
}

} // namespace sorvane
