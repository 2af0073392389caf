// The document outline read as a flat tree, safely: iteratively, each object once, to a bounded
// depth. A damaged outline (a loop, a child that points back up, absurd depth) loses only the
// part that cannot be reached safely, and says so in `warnings`.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/pdf/outline_listing.h"

struct pdf_obj;

namespace sorvane::host {

class DocumentEngine;

struct OutlineTree {
  struct Node {
    pdf_obj *obj = nullptr; // borrowed from the document
    int parent = -1;        // index of the parent node, -1 for the root
    int depth = 0;          // 0 for the root, 1 for top-level bookmarks
    int childCount = 0;
    bool open = false;
  };

  // Pre-order: the root first, a parent before its children, siblings in outline order.
  std::vector<Node> nodes;
  std::vector<std::string> warnings;
  // Bookmarks below the depth bound, counted but not in `nodes`.
  int64_t leftOut = 0;

  static OutlineTree read(DocumentEngine &doc, pdf_obj *root);
};

} // namespace sorvane::host
