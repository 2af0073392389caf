// What one run of a batch command did on one document, as the command reports it to the host:
// enough for a host to tell the user plainly what happened and to decide whether it succeeded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sdk/host_error.h"

namespace sorvane {

// Why a heading that was found did not become a bookmark.
enum class DropReason : int32_t {
  Duplicate = 0,     // same title and level as the heading before it
  NoParentLevel = 1, // no heading of the level above came before it
  NotInserted = 2,   // the host failed while adding it (or its parent) to the outline
  StopWord = 3,      // it holds a stop word
  ContentsLine = 4,  // a line of a table of contents (its page number stands apart at its end)
};

struct DroppedHeading {
  std::string title;
  int32_t page = 0;  // zero-based
  int32_t level = 0; // 0 is the top level
  DropReason reason = DropReason::Duplicate;
};

// A heading that became a bookmark: its final title, and the line it was found in.
struct FoundHeading {
  std::string title;
  int32_t page = 0;  // zero-based
  int32_t level = 0; // 0 is the top level
  std::string font;  // of the line's first run
  double size = 0;
  double left = 0, bottom = 0, right = 0, top = 0; // the line's box, in points
};

struct PageFailure {
  int32_t page = 0; // zero-based
  std::string reason;
};

struct RunOutcome {
  bool ran = false;         // false: there was nothing to do (settings without levels)
  int32_t pagesScanned = 0; // pages whose text was read, failed ones not included
  // Pages left unread because none of the fonts they can use is one a level names.
  int32_t pagesSkipped = 0;
  std::vector<PageFailure> failedPages;
  int32_t headingsFound = 0; // lines recognised as headings, before anything was dropped
  // Text runs set in a font some level names (or any font, for a level that names none): when
  // no heading was found, 0 says the fonts are wrong, more says the other rules rejected them.
  int32_t runsInLevelFonts = 0;
  // Tests of a line against a text pattern (a level's, a stop word's) that took too long and
  // were given up, the line then taken as not matching.
  int32_t patternTestsGivenUp = 0;
  // Text runs left unread because they lie farther than 32,767 points from their page's
  // origin (a very tall or wide page), and the first page that has one (-1: none).
  int32_t runsOutOfReach = 0;
  int32_t firstPageOutOfReach = -1;
  std::vector<DroppedHeading> dropped;
  std::vector<FoundHeading> headings; // the headings placed in the new trees, in outline order
  int32_t bookmarksInserted = 0;
  bool cancelled = false;
  // A host failure that ended the run before its end; ErrorCode::None when it ran through.
  ErrorCode stopCode = ErrorCode::None;
  std::string stopReason;

  bool stopped() const { return stopCode != ErrorCode::None; }
  int32_t droppedFor(DropReason reason) const {
    int32_t n = 0;
    for (const DroppedHeading &d : dropped)
      n += d.reason == reason ? 1 : 0;
    return n;
  }
  // Everything the run was asked to do was done: no page failed, nothing was lost on the way
  // into the outline, the run was neither stopped nor cancelled. (Duplicates and headings
  // without a parent level are the rules' doing, not failures.)
  bool complete() const {
    return ran && !stopped() && !cancelled && failedPages.empty() &&
           droppedFor(DropReason::NotInserted) == 0;
  }
};

} // namespace sorvane
