// Where a bookmark leads: a page of the document and how the viewer shows it.
#pragma once

#include <cstdint>

#include "plugin/values/fit_type.h"
#include "plugin/values/fixed_point.h"
#include "plugin/values/fixed_rect.h"
#include "sdk/atom.h"
#include "sdk/handles.h"

namespace sorvane {

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
