#include "host/pdf/page_copy.h"

#include <unistd.h>

#include <mupdf/pdf.h>

#include "host/pdf/mupdf_call.h"
#include "host/pdf/pdf_document.h"
#include "host/runtime/file_io.h"

namespace sorvane::host {

void writePagesToFile(PdfDocument &source, const std::vector<int> &pages,
                      const std::string &target) {
  for (int p : pages)
    if (p < 0 || p >= source.pageCount())
      throw HostError(ErrorCode::BadParameter,
                      "Page " + std::to_string(p + 1) + " is not in the document.");
  const std::string temp = makeTempFileBeside(target);
  fz_context *ctx = source.ctx();
  pdf_document *src = source.doc();
  const int *list = pages.data();
  const int count = static_cast<int>(pages.size());
  const char *tempPath = temp.c_str();
  const std::string what = target + ": cannot write the pages";
  try {
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
  } catch (...) {
    ::unlink(temp.c_str());
    throw;
  }
  installTempFile(temp, target);
}

} // namespace sorvane::host
