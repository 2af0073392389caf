#include "host/pdf/outline_tree.h"

#include <unordered_set>
#include <utility>

#include <mupdf/pdf.h>

#include "host/pdf/document_engine.h"
#include "host/pdf/pdf_ops.h"

namespace sorvane::host {

namespace {

// The bookmarks from `first` on, its siblings and everything below them, each object once.
int64_t countBookmarks(const PdfOps &ops, pdf_obj *first, std::unordered_set<int> &seen) {
  int64_t count = 0;
  std::vector<pdf_obj *> pending{first};
  while (!pending.empty()) {
    pdf_obj *item = pending.back();
    pending.pop_back();
    if (!ops.isDict(item))
      continue;
    const int num = ops.num(item);
    if (num != 0 && !seen.insert(num).second)
      continue;
    ++count;
    pending.push_back(ops.get(item, PDF_NAME(Next)));
    pending.push_back(ops.get(item, PDF_NAME(First)));
  }
  return count;
}

} // namespace

OutlineTree OutlineTree::read(DocumentEngine &doc, pdf_obj *root) {
  OutlineTree tree;
  if (!root)
    return tree;
  const PdfOps ops = doc.ops();
  tree.nodes.push_back(Node{root, -1, 0, 0, true});
  std::unordered_set<int> seen{ops.num(root)};
  std::vector<pdf_obj *> deepest; // first children of bookmarks at the depth bound
  // Each entry: the next sibling still to visit, and the index of its parent.
  std::vector<std::pair<pdf_obj *, int>> pending{{ops.get(root, PDF_NAME(First)), 0}};
  while (!pending.empty()) {
    pdf_obj *item = pending.back().first;
    const int parent = pending.back().second;
    if (!ops.isDict(item)) {
      pending.pop_back();
      continue;
    }
    const int num = ops.num(item);
    if (num != 0 && !seen.insert(num).second) {
      tree.warnings.push_back("The outline refers to bookmark object " + std::to_string(num) +
                              " a second time (a loop); the outline is read up to there.");
      pending.pop_back();
      continue;
    }
    pending.back().first = ops.get(item, PDF_NAME(Next));
    const int depth = tree.nodes[size_t(parent)].depth + 1;
    pdf_obj *count = ops.get(item, PDF_NAME(Count));
    const bool open = (ops.type(count) == CosType::Integer && ops.toInt(count) > 0) ||
                      (num != 0 && doc.openLeaves().count(num));
    const int index = static_cast<int>(tree.nodes.size());
    tree.nodes.push_back(Node{item, parent, depth, 0, open});
    tree.nodes[size_t(parent)].childCount++;
    pdf_obj *first = ops.get(item, PDF_NAME(First));
    if (!ops.isDict(first))
      continue;
    if (depth >= kMaxOutlineDepth) {
      deepest.push_back(first);
      continue;
    }
    pending.emplace_back(first, index);
  }
  // What lies deeper is counted, not read, so that the count of the whole outline is right.
  for (pdf_obj *first : deepest)
    tree.leftOut += countBookmarks(ops, first, seen);
  if (tree.leftOut > 0)
    tree.warnings.push_back("The outline is nested deeper than " +
                            std::to_string(kMaxOutlineDepth) + " levels; the " +
                            std::to_string(tree.leftOut) + " deeper bookmarks are left out.");
  return tree;
}

} // namespace sorvane::host
