#include "plugin/outline/bookmark_dest.h"

#include "sdk/imported_tables.h"

namespace sorvane {

const char *fitTypeName(int32_t code) {
  switch (FitType(code)) {
  case FitType::XYZ: return "XYZ";
  case FitType::Fit: return "Fit";
  case FitType::FitH: return "FitH";
  case FitType::FitV: return "FitV";
  case FitType::FitR: return "FitR";
  case FitType::FitB: return "FitB";
  case FitType::FitBH: return "FitBH";
  case FitType::FitBV: return "FitBV";
  case FitType::ActualSize: return "XYZ";
  }
  return "Fit";
}

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
