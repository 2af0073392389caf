#include "host/pdf/outline_listing.h"

#include "host/pdf/outline_tree.h"
#include "host/pdf/pdf_ops.h"
#include "host/runtime/atom_table.h"

namespace sorvane::host {
namespace {

std::optional<int> pageOf(PDModelTable &pd, DocHandle doc, ActionHandle action) {
  if (!pd.actionIsValid(action) ||
      AtomTable::instance().name(pd.actionGetSubtype(action)) != "GoTo")
    return std::nullopt;
  ViewDestHandle dest = pd.actionGetDest(action);
  ViewDestHandle resolved = dest ? pd.viewDestResolve(dest, doc) : ViewDestHandle();
  const int page = resolved ? pd.viewDestGetPageIndex(resolved) : -1;
  return page >= 0 ? std::optional<int>(page) : std::nullopt;
}

} // namespace

OutlineListing listOutline(PdfTables &tables, DocHandle doc) {
  PdfDocument &document = tables.document(doc);
  PDModelTable &pd = tables.pdModel();
  const OutlineTree tree = OutlineTree::read(document, document.outlineRoot(false));
  OutlineListing listing;
  listing.warnings = tree.warnings;
  for (size_t i = 1; i < tree.nodes.size(); ++i) {
    const OutlineTree::Node &node = tree.nodes[i];
    const BookmarkHandle bm = tables.bookmarkFor(doc, node.obj);
    OutlineEntry entry;
    entry.depth = node.depth;
    entry.title = pd.bookmarkGetTitle(bm);
    entry.open = node.open;
    entry.childCount = node.childCount;
    entry.object = PdfOps(document.ctx(), document.doc()).num(node.obj);
    const ActionHandle action = pd.bookmarkGetAction(bm);
    if (pd.actionIsValid(action)) {
      entry.action = AtomTable::instance().name(pd.actionGetSubtype(action));
      entry.page = pageOf(pd, doc, action);
    }
    listing.entries.push_back(std::move(entry));
  }
  return listing;
}

} // namespace sorvane::host
