#include "host/pdf/page_image.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/pdf/document_engine.h"
#include "host/pdf/mupdf_call.h"
#include "host/pdf/pdf_document.h"
#include "host/pdf/pdf_object.h"

namespace sorvane::host {
namespace {

std::string pageWhat(const char *what, int index) {
  return std::string(what) + " " + std::to_string(index + 1);
}

} // namespace

std::array<double, 2> PageFrame::shownPoint(double x, double y) const {
  const auto &m = toShown;
  return {x * m[0] + y * m[2] + m[4], x * m[1] + y * m[3] + m[5]};
}

std::array<double, 2> PageFrame::userPoint(double x, double y) const {
  const auto &m = toShown;
  const double det = m[0] * m[3] - m[1] * m[2];
  if (std::fabs(det) < 1e-12)
    return {x, y};
  const double dx = x - m[4], dy = y - m[5];
  return {(dx * m[3] - dy * m[2]) / det, (dy * m[0] - dx * m[1]) / det};
}

HostRect PageFrame::userRect(double x0, double y0, double x1, double y1) const {
  const auto a = userPoint(x0, y0), b = userPoint(x1, y0), c = userPoint(x0, y1),
             d = userPoint(x1, y1);
  return HostRect{std::min({a[0], b[0], c[0], d[0]}), std::min({a[1], b[1], c[1], d[1]}),
                  std::max({a[0], b[0], c[0], d[0]}), std::max({a[1], b[1], c[1], d[1]})};
}

PageFrame pageFrame(PdfDocument &doc, int index) {
  fz_context *ctx = doc.engine().ctx();
  // The page as the page map finds it; its boxes and rotation alone, without loading it.
  const PdfObject page = doc.engine().pageReference(index);
  PageFrame frame;
  fz_rect bounds{};
  fz_matrix ctm = fz_identity;
  const std::string what = pageWhat("cannot measure page", index);
  mupdfCall(ctx, ErrorCode::PdfDamaged, what.c_str(), [&] {
    fz_rect mediabox{};
    pdf_page_obj_transform(ctx, page.get(), &mediabox, &ctm);
    bounds = fz_transform_rect(mediabox, ctm);
  });
  // The shown page starts at its top left corner.
  ctm = fz_concat(ctm, fz_translate(-bounds.x0, -bounds.y0));
  frame.width = bounds.x1 - bounds.x0;
  frame.height = bounds.y1 - bounds.y0;
  frame.toShown = {ctm.a, ctm.b, ctm.c, ctm.d, ctm.e, ctm.f};
  return frame;
}

PageImage renderPage(PdfDocument &doc, int index, double scale) {
  fz_context *ctx = doc.engine().ctx();
  pdf_document *pdf = doc.engine().doc();
  fz_pixmap *pixmap = nullptr;
  const std::string what = pageWhat("cannot draw page", index);
  // Fonts read for page text alone have no glyph shapes.
  doc.engine().metricFonts().clear(ctx);
  mupdfCall(ctx, ErrorCode::PdfDamaged, what.c_str(), [&] {
    fz_page *page = &pdf_load_page(ctx, pdf, index)->super;
    fz_try(ctx) {
      const fz_rect bounds = fz_bound_page(ctx, page);
      const double area = double(bounds.x1 - bounds.x0) * double(bounds.y1 - bounds.y0);
      double s = scale;
      if (area * s * s > kMaxImagePixels)
        s = std::sqrt(kMaxImagePixels / area);
      pixmap =
          fz_new_pixmap_from_page(ctx, page, fz_scale(float(s), float(s)), fz_device_rgb(ctx), 0);
    }
    fz_always(ctx) { fz_drop_page(ctx, page); }
    fz_catch(ctx) { fz_rethrow(ctx); }
  });
  PageImage image;
  try {
    image.width = fz_pixmap_width(ctx, pixmap);
    image.height = fz_pixmap_height(ctx, pixmap);
    image.stride = static_cast<int>(fz_pixmap_stride(ctx, pixmap));
    const unsigned char *samples = fz_pixmap_samples(ctx, pixmap);
    image.pixels.assign(samples, samples + size_t(image.stride) * size_t(image.height));
  } catch (...) {
    fz_drop_pixmap(ctx, pixmap);
    throw;
  }
  fz_drop_pixmap(ctx, pixmap);
  return image;
}

} // namespace sorvane::host
