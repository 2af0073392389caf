// The outline of a document as a list for people and scripts: what `sorvane list` prints.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/base/view_kinds.h"
#include "host/pdf/pdf_tables.h"

namespace sorvane::host {

// How deep an outline is read; deeper bookmarks are left out with a warning.
inline constexpr int kMaxOutlineDepth = 256;

struct OutlineEntry {
  int depth = 1; // 1 for top-level bookmarks
  std::string title;
  std::optional<int> page; // zero-based page the bookmark leads to in this document
  bool open = false;       // shown expanded
  ActionKind actionKind = ActionKind::None;
  std::string action; // the action's subtype as named ("GoTo", "URI", ...), empty for none
  int childCount = 0;
  int object = 0;   // the bookmark's object number: the same bookmark before and after a change
  HostRgb colour{}; // black when it has none of its own
  int flags = 0;    // 1 italic, 2 bold
  // A go-to destination in this document: its fit type (none when it names no known one) and
  // the numbers after it (nothing where the destination has null).
  std::optional<FitType> fit;
  std::vector<std::optional<double>> view;
  BookmarkHandle handle;
};

struct OutlineListing {
  std::vector<OutlineEntry> entries; // pre-order
  std::vector<std::string> warnings; // about a damaged outline
  // Bookmarks nested deeper than kMaxOutlineDepth: in the outline, but not in `entries`.
  int64_t leftOut = 0;
};

// Reads the outline of `doc`, which must be open in `tables`.
OutlineListing listOutline(PdfTables &tables, DocHandle doc);

} // namespace sorvane::host
