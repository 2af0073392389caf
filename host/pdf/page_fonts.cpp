#include "host/pdf/page_fonts.h"

#include <algorithm>
#include <unordered_set>

#include <mupdf/pdf.h>

#include "host/pdf/document_engine.h"
#include "host/pdf/pdf_document.h"
#include "sdk/text_codec.h"

namespace sorvane::host {
namespace {

// What one walk over a page's resources collects. Kept outside the MuPDF try block, so that
// a MuPDF error cannot skip its destructor.
struct Walk {
  std::vector<pdf_obj *> pending; // resource dictionaries still to look into
  std::unordered_set<const void *> seen;
  std::vector<std::string> names;
  bool complete = true;

  // Object identity: indirect objects by number (the same object may be met through several
  // references), direct ones by address.
  const void *key(fz_context *ctx, pdf_obj *obj) const {
    const int num = pdf_to_num(ctx, obj);
    return num > 0 ? reinterpret_cast<const void *>(intptr_t(num)) : obj;
  }
  // The C++ side of the walk never throws into MuPDF: running out of memory ends the walk
  // without a promise.
  void push(fz_context *ctx, pdf_obj *resources) noexcept {
    if (!pdf_is_dict(ctx, resources))
      return;
    try {
      if (seen.insert(key(ctx, resources)).second)
        pending.push_back(resources);
    } catch (...) {
      complete = false;
    }
  }
  void addName(const char *name) noexcept {
    try {
      names.emplace_back(name);
    } catch (...) {
      complete = false;
    }
  }
};

// True when `resources` offers fonts or forms: content drawn with them could show text.
bool mayDrawText(fz_context *ctx, pdf_obj *resources) {
  return pdf_dict_len(ctx, pdf_dict_get(ctx, resources, PDF_NAME(Font))) > 0 ||
         pdf_dict_len(ctx, pdf_dict_get(ctx, resources, PDF_NAME(XObject))) > 0;
}

// Looks into one resource dictionary. Runs inside a MuPDF try block.
void visit(fz_context *ctx, pdf_obj *resources, Walk &walk) {
  pdf_obj *fonts = pdf_dict_get(ctx, resources, PDF_NAME(Font));
  for (int i = 0, n = pdf_dict_len(ctx, fonts); i < n; ++i) {
    pdf_obj *font = pdf_dict_get_val(ctx, fonts, i);
    // The run scan's own choice: /BaseFont, else /Name (Type 3); else the engine's name for
    // the font, which only loading it tells.
    const char *name = pdf_to_name(ctx, pdf_dict_get(ctx, font, PDF_NAME(BaseFont)));
    if (!*name)
      name = pdf_to_name(ctx, pdf_dict_get(ctx, font, PDF_NAME(Name)));
    if (!*name)
      walk.complete = false;
    else
      walk.addName(name);
    // Glyph procedures with fonts of their own are beyond what the resources promise.
    if (mayDrawText(ctx, pdf_dict_get(ctx, font, PDF_NAME(Resources))))
      walk.complete = false;
  }
  pdf_obj *xobjects = pdf_dict_get(ctx, resources, PDF_NAME(XObject));
  for (int i = 0, n = pdf_dict_len(ctx, xobjects); i < n; ++i) {
    pdf_obj *xobject = pdf_dict_get_val(ctx, xobjects, i);
    if (pdf_name_eq(ctx, pdf_dict_get(ctx, xobject, PDF_NAME(Subtype)), PDF_NAME(Form)))
      walk.push(ctx, pdf_dict_get(ctx, xobject, PDF_NAME(Resources)));
  }
  // Tiling patterns and soft masks run content whose fonts the run scan may name otherwise.
  pdf_obj *patterns = pdf_dict_get(ctx, resources, PDF_NAME(Pattern));
  for (int i = 0, n = pdf_dict_len(ctx, patterns); i < n; ++i)
    if (mayDrawText(ctx,
                    pdf_dict_get(ctx, pdf_dict_get_val(ctx, patterns, i), PDF_NAME(Resources))))
      walk.complete = false;
  pdf_obj *states = pdf_dict_get(ctx, resources, PDF_NAME(ExtGState));
  for (int i = 0, n = pdf_dict_len(ctx, states); i < n; ++i) {
    pdf_obj *mask = pdf_dict_get(ctx, pdf_dict_get_val(ctx, states, i), PDF_NAME(SMask));
    if (mayDrawText(ctx, pdf_dict_getp(ctx, mask, "G/Resources")))
      walk.complete = false;
  }
}

} // namespace

std::optional<std::vector<std::string>> pageFontNames(PdfDocument &document, int pageIndex) {
  DocumentEngine &engine = document.engine();
  const PdfObject page = engine.pageReference(pageIndex);
  fz_context *ctx = engine.ctx();
  Walk walk;
  walk.pending.reserve(16);
  int failed = 0;
  fz_var(failed);
  fz_try(ctx) {
    walk.push(ctx, pdf_dict_get_inheritable(ctx, page.get(), PDF_NAME(Resources)));
    while (!walk.pending.empty() && walk.complete) {
      pdf_obj *resources = walk.pending.back();
      walk.pending.pop_back();
      visit(ctx, resources, walk);
    }
  }
  fz_catch(ctx) { failed = 1; }
  if (failed || !walk.complete)
    return std::nullopt;
  std::vector<std::string> names;
  names.reserve(walk.names.size());
  for (const std::string &name : walk.names)
    names.push_back(sanitizeUtf8(name));
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

} // namespace sorvane::host
