#include "host/pdf/outline_tree.h"

#include <unordered_set>
#include <utility>

#include <mupdf/pdf.h>

#include "host/pdf/document_engine.h"
#include "host/pdf/pdf_ops.h"

namespace sorvane::host {

OutlineTree OutlineTree::read(DocumentEngine &doc, pdf_obj *root) {
  OutlineTree tree;
  if (!root)
    return tree;
  const PdfOps ops = doc.ops();
  tree.nodes.push_back(Node{root, -1, 0, 0, true});
  std::unordered_set<int> seen{ops.num(root)};
  bool warnedDepth = false;
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
      if (!warnedDepth)
        tree.warnings.push_back("The outline is nested deeper than " +
                                std::to_string(kMaxOutlineDepth) +
                                " levels; the deeper bookmarks are left out.");
      warnedDepth = true;
      continue;
    }
    pending.emplace_back(first, index);
  }
  return tree;
}

} // namespace sorvane::host
