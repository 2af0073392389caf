// Where a bookmark leads: a page of the document and how the viewer shows it.
#pragma once

#include <cstdint>

#include "plugin/values/fixed_point.h"
#include "plugin/values/fixed_rect.h"
#include "sdk/atom.h"
#include "sdk/handles.h"

namespace sorvane {

// View fit type codes, as level rules store them.
enum class FitType : int32_t {
  XYZ = 0,  // "Inherit Zoom": position and zoom
  Fit = 1,  // "Fit Page"
  FitH = 2, // "Fit Width"
  FitV = 3,
  FitR = 4,
  FitB = 5, // "Fit Visible"
  FitBH = 6,
  FitBV = 7,
  ActualSize = 8, // "Actual Size": XYZ at 100 %
};

// The name written into the document for a fit type code; "Fit" for an unknown code.
const char *fitTypeName(int32_t code);

struct BookmarkDest {
  int32_t pageNum = 0; // zero-based
  int32_t fitType = int32_t(FitType::Fit);
  FixedRect rect; // the view's position, as the fit type uses it
  Fixed zoom = 0; // for XYZ; 0 keeps the viewer's zoom

  void reset() { *this = BookmarkDest(); }
  void setView(int32_t fit, const FixedRect &viewRect, Fixed viewZoom);
  // The host atom of the fit type's name.
  Atom fitTypeAtom() const;

  struct ViewDest {
    ViewDestHandle dest;
    bool valid = false;
  };
  // A host destination in `doc`. A page outside the document becomes page 0, in this record
  // too. Host failures throw.
  ViewDest makeViewDest(DocHandle doc);

  bool operator==(const BookmarkDest &) const = default;
};

} // namespace sorvane
