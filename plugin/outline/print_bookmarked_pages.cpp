#include "plugin/outline/print_bookmarked_pages.h"

#include <vector>

#include "plugin/outline/bookmark_action.h"
#include "plugin/outline/outline_walk.h"
#include "sdk/imported_tables.h"

namespace sorvane {

int32_t printBookmarkedPages(DocHandle doc, std::vector<WalkGap> *gaps) {
  if (!doc)
    return 0;
  PDModelTable &pd = hostTables().pdModel.must();
  std::vector<int32_t> pages;
  outlineWalk(
      pd.docGetBookmarkRoot(doc),
      [&](BookmarkHandle bookmark) {
        if (!pd.bookmarkIsValid(bookmark))
          return true;
        const ActionHandle action = pd.bookmarkGetAction(bookmark);
        if (!pd.actionIsValid(action))
          return true;
        const ActionPage target = resolveActionPage(doc, action);
        if (target.resolved && target.page >= 0)
          pages.push_back(target.page);
        return true;
      },
      true, gaps);
  AcroViewTable &view = hostTables().acroView.must();
  for (int32_t page : pages)
    view.printPagesSilently(doc, page, page, 1, true, true);
  return static_cast<int32_t>(pages.size());
}

} // namespace sorvane
