#include "host/pdf/name_tree.h"

#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include <mupdf/pdf.h>

namespace sorvane::host {
namespace {

enum class Range : int8_t { Inside, Outside, Unknown };

// Where `key` stands to the /Limits of a node; Unknown when the node has no usable range.
Range rangeOf(const PdfOps &ops, pdf_obj *node, std::string_view key) {
  pdf_obj *limits = ops.get(node, PDF_NAME(Limits));
  if (!ops.isArray(limits) || ops.arrayLength(limits) != 2)
    return Range::Unknown;
  pdf_obj *low = ops.arrayGet(limits, 0);
  pdf_obj *high = ops.arrayGet(limits, 1);
  if (ops.type(low) != CosType::String || ops.type(high) != CosType::String)
    return Range::Unknown;
  const std::string first = ops.stringBytes(low);
  const std::string last = ops.stringBytes(high);
  if (last < first)
    return Range::Unknown;
  return key < first || key > last ? Range::Outside : Range::Inside;
}

// The value under `key` in the /Names array of one node, or null.
pdf_obj *findInLeaf(const PdfOps &ops, pdf_obj *node, std::string_view key) {
  pdf_obj *names = ops.get(node, PDF_NAME(Names));
  if (!ops.isArray(names))
    return nullptr;
  const int n = ops.arrayLength(names);
  for (int i = 0; i + 1 < n; i += 2) {
    pdf_obj *name = ops.arrayGet(names, i);
    // Keys are strings; a name object stands for its text, as some writers put it.
    const CosType t = ops.type(name);
    if ((t == CosType::String && ops.stringBytes(name) == key) ||
        (t == CosType::Name && ops.name(name) == key))
      return ops.arrayGet(names, i + 1);
  }
  return nullptr;
}

struct TreeWalk {
  const PdfOps &ops;
  std::string_view key;
  int budget = kMaxNameTreeNodes;
  bool passedBy = false; // a kid was left out for its range
  bool cut = false;      // nodes were left unread: too deep, or past the budget

  // One walk from `root`, depth-first in kid order; with `useRanges`, kids whose range leaves
  // the key out are passed by.
  pdf_obj *find(pdf_obj *root, bool useRanges) {
    std::unordered_set<int> seen;
    std::vector<std::pair<pdf_obj *, int>> pending{{root, 0}};
    while (!pending.empty() && budget > 0) {
      const auto [node, depth] = pending.back();
      pending.pop_back();
      --budget;
      if (!ops.isDict(node))
        continue;
      const int num = ops.num(node);
      if (num != 0 && !seen.insert(num).second)
        continue; // a loop in /Kids
      if (pdf_obj *value = findInLeaf(ops, node, key))
        return value;
      pdf_obj *kids = ops.get(node, PDF_NAME(Kids));
      if (!ops.isArray(kids))
        continue;
      if (depth >= kMaxNameTreeDepth) {
        cut = true;
        continue;
      }
      // Pushed last to first, so that the first kid is looked into first.
      for (int i = ops.arrayLength(kids); i-- > 0 && budget > 0;) {
        pdf_obj *kid = ops.arrayGet(kids, i);
        if (useRanges && rangeOf(ops, kid, key) == Range::Outside) {
          passedBy = true;
          --budget;
          continue;
        }
        pending.emplace_back(kid, depth + 1);
      }
    }
    if (budget <= 0)
      cut = true;
    return nullptr;
  }
};

} // namespace

pdf_obj *findInNameTree(const PdfOps &ops, pdf_obj *root, std::string_view key, bool *cut) {
  if (!root || !ops.isDict(root))
    return nullptr;
  TreeWalk walk{ops, key};
  pdf_obj *value = walk.find(root, true);
  if (!value && walk.passedBy)
    value = walk.find(root, false);
  if (cut)
    *cut = !value && walk.cut;
  return value;
}

} // namespace sorvane::host
