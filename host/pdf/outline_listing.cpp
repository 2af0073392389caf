#include "host/pdf/outline_listing.h"

#include "host/base/atom_table.h"
#include "host/pdf/document_engine.h"
#include "host/pdf/outline_tree.h"
#include "host/pdf/table_registry.h"

namespace sorvane::host {
namespace {

// The page, fit type and view numbers of a go-to action's destination into `entry`.
void readDestination(PDModelTable &pd, DocumentEngine &engine, DocHandle doc, ActionHandle action,
                     OutlineEntry &entry) {
  if (entry.actionKind != ActionKind::GoTo)
    return;
  ViewDestHandle dest = pd.actionGetDest(action);
  ViewDestHandle resolved = dest ? pd.viewDestResolve(dest, doc) : ViewDestHandle();
  const int page = resolved ? pd.viewDestGetPageIndex(resolved) : -1;
  if (page < 0)
    return;
  entry.page = page;
  entry.fit = fitTypeNamed(AtomTable::instance().name(pd.viewDestGetFitType(resolved)));
  const PdfOps ops = engine.ops();
  pdf_obj *array = engine.objectAt(slotOf(resolved.value()));
  for (int i = 2; i < ops.arrayLength(array) && i < 6; ++i) {
    pdf_obj *v = ops.arrayGet(array, i);
    const CosType type = ops.type(v);
    entry.view.push_back(type == CosType::Integer || type == CosType::Real
                             ? std::optional<double>(ops.toReal(v))
                             : std::nullopt);
  }
}

} // namespace

OutlineListing listOutline(PdfTables &tables, DocHandle doc) {
  DocumentEngine &engine = tables.document(doc).engine();
  PDModelTable &pd = tables.pdModel();
  const OutlineTree tree = OutlineTree::read(engine, engine.outlineRoot(false));
  OutlineListing listing;
  listing.warnings = tree.warnings;
  listing.leftOut = tree.leftOut;
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
      entry.actionKind = actionKindNamed(entry.action);
      readDestination(pd, engine, doc, action, entry);
    }
    entry.colour = pd.bookmarkGetColor(bm);
    entry.flags = pd.bookmarkGetFlags(bm);
    entry.handle = bm;
    listing.entries.push_back(std::move(entry));
  }
  return listing;
}

} // namespace sorvane::host
