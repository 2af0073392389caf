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
  DocumentEngine &engine = source.engine();
  fz_context *ctx = engine.ctx();
  // The pages as the page map found them (MuPDF's own lookup trusts /Count).
  std::vector<PdfObject> pageObjects;
  pageObjects.reserve(pages.size());
  for (int p : pages)
    pageObjects.push_back(engine.pageReference(p));
  std::vector<pdf_obj *> list;
  for (const PdfObject &o : pageObjects)
    list.push_back(o.get());
  pdf_obj **refs = list.data();
  const int count = static_cast<int>(list.size());
  const char *tempPath = file.tempPath().c_str();
  const std::string what = target + ": cannot write the pages";
  mupdfCall(ctx, ErrorCode::FileAccess, what.c_str(), [&] {
    pdf_document *out = nullptr;
    pdf_graft_map *map = nullptr;
    pdf_obj *page = nullptr;
    fz_var(out);
    fz_var(map);
    fz_var(page);
    fz_try(ctx) {
      out = pdf_create_document(ctx);
      map = pdf_new_graft_map(ctx, out);
      // The pages go straight into the new document's one page list: inserting them one by one
      // would look up the end of the list each time.
      pdf_obj *tree = pdf_dict_getp(ctx, pdf_trailer(ctx, out), "Root/Pages");
      pdf_obj *kids = pdf_dict_get(ctx, tree, PDF_NAME(Kids));
      // What a page needs, its inherited attributes included; a page listed twice is copied
      // twice and shares its content with itself.
      static pdf_obj *const kKeys[] = {PDF_NAME(Contents), PDF_NAME(Resources), PDF_NAME(MediaBox),
                                       PDF_NAME(CropBox),  PDF_NAME(BleedBox),  PDF_NAME(TrimBox),
                                       PDF_NAME(ArtBox),   PDF_NAME(Rotate),    PDF_NAME(UserUnit)};
      for (int i = 0; i < count; ++i) {
        pdf_obj *dict = pdf_new_dict(ctx, out, 8);
        page = dict;
        pdf_dict_put(ctx, dict, PDF_NAME(Type), PDF_NAME(Page));
        for (pdf_obj *key : kKeys) {
          pdf_obj *value = key == PDF_NAME(Contents) ? pdf_dict_get(ctx, refs[i], key)
                                                     : pdf_dict_get_inheritable(ctx, refs[i], key);
          if (value)
            pdf_dict_put_drop(ctx, dict, key, pdf_graft_mapped_object(ctx, map, value));
        }
        pdf_dict_put(ctx, dict, PDF_NAME(Parent), tree);
        pdf_obj *ref = pdf_add_object(ctx, out, dict);
        pdf_drop_obj(ctx, page);
        page = ref;
        pdf_array_push(ctx, kids, ref);
        pdf_drop_obj(ctx, page);
        page = nullptr;
      }
      pdf_dict_put_int(ctx, tree, PDF_NAME(Count), count);
      pdf_write_options opts = pdf_default_write_options;
      opts.do_compress = 1;
      opts.do_garbage = 1;
      pdf_save_document(ctx, out, tempPath, &opts);
    }
    fz_always(ctx) {
      pdf_drop_obj(ctx, page);
      pdf_drop_graft_map(ctx, map);
      pdf_drop_document(ctx, out);
    }
    fz_catch(ctx) { fz_rethrow(ctx); }
  });
  file.commit();
}

} // namespace sorvane::host
