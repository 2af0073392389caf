#include "plugin/outline/validate_outline.h"

#include <unordered_set>

#include "plugin/outline/bookmark_action.h"
#include "plugin/outline/outline_walk.h"
#include "sdk/host_error.h"
#include "sdk/imported_tables.h"

namespace sorvane {
namespace {

bool reachable(const std::string &path) {
  AcroSupportTable &files = hostTables().acroSupport.must();
  PathHandle p = files.pathFromPlatformPath(path);
  FileHandle f;
  const ErrorCode rc = files.fileOpen(p, FileMode::Read, &f);
  if (rc == ErrorCode::None)
    files.fileClose(f);
  files.pathRelease(p);
  return rc == ErrorCode::None;
}

} // namespace

int32_t validateFlags(bool warnAboutOutsideLinks, bool verifyExternalLinks) {
  return kValidatePageRange + (warnAboutOutsideLinks ? kValidateLinked : 0) +
         (verifyExternalLinks ? kValidateExternalFile : 0);
}

bool validateOutline(DocHandle doc, std::vector<ValidationResult> &results, int32_t flags,
                     const std::function<bool(BookmarkHandle)> &progress) {
  if (!progress)
    return false;
  const BookmarkHandle root = hostTables().pdModel->docGetBookmarkRoot(doc);
  results.clear();
  std::vector<WalkGap> gaps;
  const bool finished = outlineWalk(
      root,
      [&](BookmarkHandle bookmark) {
        std::vector<std::string> messages;
        validateBookmark(bookmark, doc, messages, flags);
        if (!messages.empty())
          results.push_back(ValidationResult{bookmark, messages});
        return progress(bookmark);
      },
      true, &gaps);
  // What the walk could not reach was not checked: that is a problem of the outline too.
  for (const WalkGap &gap : gaps)
    results.push_back(ValidationResult{gap.at, {uncheckedMessage(gap)}});
  return finished;
}

std::string uncheckedMessage(const WalkGap &gap) {
  switch (gap.kind) {
  case WalkGap::Kind::TooDeep:
    return "The bookmarks below this one are nested deeper than " + std::to_string(kMaxWalkDepth) +
           " levels and were not checked.";
  case WalkGap::Kind::LoopBelow:
    return "The first child leads back to " + bookmarkName(gap.metBefore) +
           " (a loop); the bookmarks from there on were not checked.";
  case WalkGap::Kind::LoopAfter: break;
  }
  return "The next bookmark leads back to " + bookmarkName(gap.metBefore) +
         " (a loop); the bookmarks from there on were not checked.";
}

void validateBookmark(BookmarkHandle bookmark, DocHandle doc, std::vector<std::string> &messages,
                      int32_t flags) {
  messages.clear();
  if (!doc) {
    messages.emplace_back("Invalid document handle specified.");
    return;
  }
  PDModelTable &pd = hostTables().pdModel.must();
  if (!pd.bookmarkIsValid(bookmark)) {
    messages.emplace_back("Invalid bookmark object.");
    return;
  }
  if (getCleanTitle(bookmark).empty())
    messages.emplace_back("Empty bookmark title.");
  const ActionHandle action = pd.bookmarkGetAction(bookmark);
  if (!pd.actionIsValid(action)) {
    messages.emplace_back("Empty bookmark action.");
    return;
  }
  checkAction(doc, action, flags, messages);
}

void checkAction(DocHandle doc, ActionHandle action, int32_t flags,
                 std::vector<std::string> &messages) {
  PDModelTable &pd = hostTables().pdModel.must();
  if (!pd.actionIsValid(action)) {
    messages.emplace_back("No action specified.");
    return;
  }
  const ActionPage target = resolveActionPage(doc, action);
  if (target.resolved && target.page >= 0 && (flags & kValidatePageRange)) {
    if (target.page >= pd.docGetNumPages(doc))
      messages.emplace_back("Destination page is out of bounds.");
  } else if (!target.resolved) {
    messages.emplace_back("Destination page is invalid.");
  }
  const std::string_view subtype = hostTables().core->atomGetString(pd.actionGetSubtype(action));
  if ((flags & kValidateLinked) && target.page < 0 && subtype != "Thread")
    messages.emplace_back("Bookmark is not linked to a page in the current document.");
  if (subtype == "GoToR" || subtype == "Launch") {
    const FileSpecHandle spec = pd.actionGetFileSpec(action);
    if (!pd.fileSpecIsValid(spec)) {
      messages.emplace_back("Destination file is not specified.");
      return;
    }
    if (flags & kValidateExternalFile) {
      // Relative paths are taken from the document's own folder; the file must be there.
      const std::optional<std::string> path = pd.fileSpecGetPlatformPath(spec, doc);
      if (!path || !reachable(*path))
        messages.emplace_back("Destination file does not exist or invalid.");
    }
  }
}

std::string getTitlePath(BookmarkHandle bookmark, char separator) {
  PDModelTable &pd = hostTables().pdModel.must();
  if (!bookmark || !pd.bookmarkIsValid(bookmark))
    return {};
  std::string path;
  std::unordered_set<BookmarkHandle> seen{bookmark};
  for (BookmarkHandle p = pd.bookmarkGetParent(bookmark); p && seen.insert(p).second;
       p = pd.bookmarkGetParent(p))
    path = getCleanTitle(p) + separator + path;
  return path + getCleanTitle(bookmark);
}

} // namespace sorvane
