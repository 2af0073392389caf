// The kinds a viewer deals in, typed: a destination's fit, a bookmark action's kind, what is
// selected, and which pane a document window shows. The host API carries them as names and
// numbers; the host decodes each once, where it comes in, and works with these.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace sorvane::host {

// How a destination fits its page into the window (PDF 32000-1, table 151).
enum class FitType { XYZ, Fit, FitH, FitV, FitR, FitB, FitBH, FitBV };
// Null for a name that is no fit type.
std::optional<FitType> fitTypeNamed(std::string_view name);
std::string_view nameOf(FitType fit);
// How many numbers follow the fit type in a destination: XYZ left top zoom, FitH/FitBH top,
// FitV/FitBV left, FitR left bottom right top, Fit/FitB none.
int numbersAfter(FitType fit);

// What a bookmark's action does. The kinds the host acts on; every other is Other (its name is
// kept beside it for people).
enum class ActionKind { None, GoTo, GoToR, URI, Launch, Named, Other };
ActionKind actionKindNamed(std::string_view subtype); // "" is None

// What the user has selected in a document window.
enum class SelectionType { None, Text };
std::string_view nameOf(SelectionType type); // as the host API names it: "", "Text"

// The pane a document window shows beside its pages, by the host API's numbers.
enum class PageMode : int32_t {
  Unknown = 0,
  None = 1,
  Thumbnails = 2,
  Bookmarks = 3,
  FullScreen = 4
};
PageMode pageModeOf(int32_t value); // Unknown for a number that is none

} // namespace sorvane::host
