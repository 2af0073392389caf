#include "plugin/outline/bookmark_dest.h"

#include "sdk/imported_tables.h"

namespace sorvane {

void BookmarkDest::setView(int32_t fit, const FixedRect &viewRect, Fixed viewZoom) {
  fitType = fit;
  rect = viewRect;
  zoom = viewZoom;
}

Atom BookmarkDest::fitTypeAtom() const {
  return hostTables().core->atomFromString(fitTypeName(fitType));
}

BookmarkDest::ViewDest BookmarkDest::makeViewDest(DocHandle doc) {
  PDModelTable &pd = hostTables().pdModel.must();
  const int32_t pages = pd.docGetNumPages(doc);
  if (pageNum < 0 || pageNum >= pages)
    pageNum = 0;
  // "Actual Size" means 100 %, whatever zoom the record carries.
  const double viewZoom = fitType == int32_t(FitType::ActualSize) ? 1.0 : fixedToDouble(zoom);
  const HostRect hostRect{fixedToDouble(rect.left), fixedToDouble(rect.bottom),
                          fixedToDouble(rect.right), fixedToDouble(rect.top)};
  PageHandle page = pd.docAcquirePage(doc, pageNum);
  ViewDest made;
  try {
    made.dest = pd.viewDestCreate(doc, page, fitTypeAtom(), hostRect, viewZoom);
  } catch (...) {
    pd.pageRelease(page);
    throw;
  }
  pd.pageRelease(page);
  made.valid = pd.viewDestIsValid(made.dest);
  return made;
}

} // namespace sorvane
