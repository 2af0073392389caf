#include "host/pdf/page_copy.h"

#include <mupdf/pdf.h>

#include "host/base/file_io.h"
#include "host/pdf/document_engine.h"
#include "host/pdf/mupdf_call.h"
#include "host/pdf/pdf_document.h"

namespace sorvane::host {

void writePagesToFile(PdfDocument &source, const std::vector<int> &pages,
                      const std::string &target) {
  for (int p : pages)
    if (p < 0 || p >= source.pageCount())
      throw HostError(ErrorCode::BadParameter,
                      "Page " + std::to_string(p + 1) + " is not in the document.");
  PendingFile file(target);
  fz_context *ctx = source.engine().ctx();
  pdf_document *src = source.engine().doc();
  const int *list = pages.data();
  const int count = static_cast<int>(pages.size());
  const char *tempPath = file.tempPath().c_str();
  const std::string what = target + ": cannot write the pages";
  mupdfCall(ctx, ErrorCode::FileAccess, what.c_str(), [&] {
    pdf_document *out = nullptr;
    pdf_graft_map *map = nullptr;
    fz_var(out);
    fz_var(map);
    fz_try(ctx) {
      out = pdf_create_document(ctx);
      map = pdf_new_graft_map(ctx, out);
      for (int i = 0; i < count; ++i)
        pdf_graft_mapped_page(ctx, map, -1, src, list[i]);
      pdf_write_options opts = pdf_default_write_options;
      opts.do_compress = 1;
      opts.do_garbage = 1;
      pdf_save_document(ctx, out, tempPath, &opts);
    }
    fz_always(ctx) {
      pdf_drop_graft_map(ctx, map);
      pdf_drop_document(ctx, out);
    }
    fz_catch(ctx) { fz_rethrow(ctx); }
  });
  file.commit();
}

} // namespace sorvane::host
