// Pages as pictures, for a viewer: the page's shape as shown and an RGB image of it.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "sdk/document_tables.h"

namespace sorvane::host {

class PdfDocument;

// A page as a viewer shows it: its size in points with its rotation applied, and the map from
// default user space (y up) to the shown page (points from its top left corner, y down).
struct PageFrame {
  double width = 0, height = 0;
  std::array<double, 6> toShown{1, 0, 0, 1, 0, 0}; // a b c d e f, as a PDF matrix

  // A point of default user space on the shown page, and back.
  std::array<double, 2> shownPoint(double x, double y) const;
  std::array<double, 2> userPoint(double x, double y) const;
  // The rectangle of user space that the shown rectangle covers.
  HostRect userRect(double x0, double y0, double x1, double y1) const;
};

struct PageImage {
  int width = 0, height = 0;
  int stride = 0;                    // bytes per row
  std::vector<unsigned char> pixels; // RGB, 3 bytes a pixel
};

// The frame of the page at `index`. Throws HostError(PdfDamaged).
PageFrame pageFrame(PdfDocument &doc, int index);

// The page at `index` drawn at `scale` pixels per point (annotations included), white
// background. A scale that would make a picture of more than kMaxImagePixels is lowered to fit.
// Throws HostError(PdfDamaged) when the page cannot be drawn.
inline constexpr double kMaxImagePixels = 24.0 * 1024 * 1024;
PageImage renderPage(PdfDocument &doc, int index, double scale);

} // namespace sorvane::host
