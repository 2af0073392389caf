#include "host/pdf/page_model.h"

#include "host/pdf/mupdf_call.h"
#include "host/pdf/page_text.h"

#include <algorithm>

namespace sorvane::host {

int32_t PageModel::docGetNumPages(DocHandle doc) { return m_reg.docById(doc).pageCount(); }

PageHandle PageModel::docAcquirePage(DocHandle doc, int32_t index) {
  PdfDocument &d = m_reg.docById(doc);
  const PdfObject page = d.engine().pageReference(index);
  return makeHandle<PageHandle>(m_reg, d, d.engine().slotFor(page.get()));
}

void PageModel::pageRelease(PageHandle page) { deref(m_reg, page); }

int32_t PageModel::pageGetIndex(PageHandle page) {
  Ref p = deref(m_reg, page);
  return p.engine().pageIndexOf(p.obj);
}

HostRect PageModel::pageGetCropBox(PageHandle page) {
  Ref p = deref(m_reg, page);
  fz_context *ctx = p.engine().ctx();
  fz_rect box{};
  mupdfCall(ctx, ErrorCode::PdfDamaged, "cannot read the page box", [&] {
    fz_rect media = pdf_to_rect(ctx, pdf_dict_get_inheritable(ctx, p.obj, PDF_NAME(MediaBox)));
    if (fz_is_empty_rect(media))
      media = fz_make_rect(0, 0, 612, 792); // US Letter, as readers assume
    pdf_obj *cropObj = pdf_dict_get_inheritable(ctx, p.obj, PDF_NAME(CropBox));
    box = pdf_is_array(ctx, cropObj) ? fz_intersect_rect(pdf_to_rect(ctx, cropObj), media) : media;
    if (fz_is_empty_rect(box))
      box = media;
  });
  return HostRect{box.x0, box.y0, box.x1, box.y1};
}

void PageModel::docEnumFonts(DocHandle doc, int32_t first, int32_t last,
                             const std::function<void(std::string_view)> &onFont,
                             const ProgressMonitor *monitor, void *clientData) {
  PdfDocument &d = m_reg.docById(doc);
  const int32_t pages = d.pageCount();
  first = std::max(first, 0);
  last = std::min(last, pages - 1);
  auto call = [&](auto op, auto... args) {
    if (monitor && monitor->*op)
      (monitor->*op)(args..., clientData);
  };
  call(&ProgressMonitor::beginOperation);
  call(&ProgressMonitor::setDuration, std::max(0, last - first + 1));
  try {
    for (int32_t page = first; page <= last; ++page) {
      if (monitor && monitor->cancelRequested && monitor->cancelRequested(clientData))
        throw HostError(ErrorCode::Cancelled, "Interrupted.");
      try {
        const auto text = extractPageText(d, page);
        for (const RunFont &font : text->fonts)
          onFont(font.name);
      } catch (const HostError &e) {
        if (e.code() == ErrorCode::Cancelled)
          throw;
        // A page that cannot be read shows no fonts; the others still do.
      }
      call(&ProgressMonitor::setCurrValue, page - first + 1);
    }
  } catch (...) {
    call(&ProgressMonitor::endOperation);
    throw;
  }
  call(&ProgressMonitor::endOperation);
}

std::optional<uint32_t> PageModel::docGetPermissions(DocHandle doc) {
  return m_reg.docById(doc).permissions();
}

} // namespace sorvane::host
