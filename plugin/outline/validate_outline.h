// Checking every bookmark of a document: title, action, destination page, linked files.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "plugin/outline/outline_walk.h"
#include "sdk/handles.h"

namespace sorvane {

// Which checks a run makes, beyond the title and the action.
enum ValidateFlags : int32_t {
  kValidatePageRange = 2,    // the destination page lies inside the document
  kValidateExternalFile = 4, // a linked outside file is reachable
  kValidateLinked = 8,       // the bookmark leads to a page of this document (threads excepted)
};

// The flags of a run for the user's two options.
int32_t validateFlags(bool warnAboutOutsideLinks, bool verifyExternalLinks);

struct ValidationResult {
  BookmarkHandle bookmark;
  std::vector<std::string> messages; // in the order the checks made them
};

// Checks every bookmark of `doc` in outline order; bookmarks with problems go into `results`,
// followed by one result for each part of a damaged outline that could not be reached (a loop,
// nesting deeper than kMaxWalkDepth), on the bookmark where the walk stopped. `progress` is
// called after each bookmark; when it answers false the run stops and the result is false.
// Without a callback: false and nothing checked.
bool validateOutline(DocHandle doc, std::vector<ValidationResult> &results, int32_t flags,
                     const std::function<bool(BookmarkHandle)> &progress);

// The problem reported for a part of the outline the check could not reach.
std::string uncheckedMessage(const WalkGap &gap);

// Fills `messages` with the problems of one bookmark.
void validateBookmark(BookmarkHandle bookmark, DocHandle doc, std::vector<std::string> &messages,
                      int32_t flags);

// Appends the problems of an action to `messages`.
void checkAction(DocHandle doc, ActionHandle action, int32_t flags,
                 std::vector<std::string> &messages);

// The titles of the bookmark's ancestors and its own, each preceded by `separator`
// (">Intro>Scope"); empty for an invalid bookmark.
std::string getTitlePath(BookmarkHandle bookmark, char separator);

} // namespace sorvane
