#include "host/pdf/outline_listing.h"

#include "host/base/atom_table.h"
#include "host/pdf/document_engine.h"
#include "host/pdf/outline_tree.h"

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
  DocumentEngine &engine = tables.document(doc).engine();
  PDModelTable &pd = tables.pdModel();
  const OutlineTree tree = OutlineTree::read(engine, engine.outlineRoot(false));
  OutlineListing listing;
  listing.warnings = tree.warnings;
  for (size_t i = 1; i < tree.nodes.size(); ++i) {
    const OutlineTree::Node &node = tree.nodes[i];
    const BookmarkHandle bm = tables.handleAt<BookmarkHandle>(doc, engine.slotFor(node.obj));
    OutlineEntry entry;
    entry.depth = node.depth;
    entry.title = pd.bookmarkGetTitle(bm);
    entry.open = node.open;
    entry.childCount = node.childCount;
    entry.object = engine.ops().num(node.obj);
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
