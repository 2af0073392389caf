#include "host/pdf/metric_fonts.h"

#include <atomic>

#include "sdk/text_codec.h"

namespace sorvane::host {
namespace {

// How the engine tells its font descriptions in the store from other items: by the function
// that drops them, which every new description carries.
fz_store_drop_fn *fontDropFunction(fz_context *ctx) {
  static std::atomic<fz_store_drop_fn *> drop{nullptr}; // the same in every context
  if (!drop.load(std::memory_order_relaxed)) {
    pdf_font_desc *probe = pdf_new_font_desc(ctx);
    drop.store(probe->storable.drop, std::memory_order_relaxed);
    pdf_drop_font(ctx, probe);
  }
  return drop.load(std::memory_order_relaxed);
}

bool sameFilter(const RunFontFilter &a, const RunFontFilter &b) {
  return a.names == b.names && a.anyPrefix == b.anyPrefix;
}

// The glyph name of each code, as the engine works it out for an embedded simple font before
// it looks into the font program: the named encoding or base encoding, then /Differences.
// (An embedded font has no standard encoding to fall back on: its own encoding is in the
// program.)
void namesFromEncoding(fz_context *ctx, pdf_obj *encoding, const char *names[256]) {
  for (int i = 0; i < 256; ++i)
    names[i] = nullptr;
  if (pdf_is_name(ctx, encoding)) {
    pdf_load_encoding(names, pdf_to_name(ctx, encoding));
    return;
  }
  if (!pdf_is_dict(ctx, encoding))
    return;
  pdf_obj *base = pdf_dict_get(ctx, encoding, PDF_NAME(BaseEncoding));
  if (pdf_is_name(ctx, base))
    pdf_load_encoding(names, pdf_to_name(ctx, base));
  pdf_obj *diff = pdf_dict_get(ctx, encoding, PDF_NAME(Differences));
  const int n = pdf_array_len(ctx, diff);
  for (int i = 0, code = 0; i < n; ++i) {
    pdf_obj *item = pdf_array_get(ctx, diff, i);
    if (pdf_is_int(ctx, item))
      code = pdf_to_int(ctx, item);
    if (pdf_is_name(ctx, item) && code >= 0 && code < 256)
      names[code++] = pdf_to_name(ctx, item);
  }
}

// A description of the simple font `dict` read from its dictionaries alone, or null when
// they leave something a run needs to the font program. Throws as MuPDF does.
pdf_font_desc *readMetricFont(fz_context *ctx, pdf_document *doc, pdf_obj *dict,
                              const char *baseFont) {
  pdf_obj *subtype = pdf_dict_get(ctx, dict, PDF_NAME(Subtype));
  const bool type1 =
      pdf_name_eq(ctx, subtype, PDF_NAME(Type1)) || pdf_name_eq(ctx, subtype, PDF_NAME(MMType1));
  if (!type1 && !pdf_name_eq(ctx, subtype, PDF_NAME(TrueType)))
    return nullptr;
  pdf_obj *descriptor = pdf_dict_get(ctx, dict, PDF_NAME(FontDescriptor));
  pdf_obj *widths = pdf_dict_get(ctx, dict, PDF_NAME(Widths));
  if (!pdf_is_dict(ctx, descriptor) || !pdf_is_array(ctx, widths))
    return nullptr;
  // Embedded: a font that is not comes with the engine's own font and its standard encoding.
  pdf_obj *file1 = pdf_dict_get(ctx, descriptor, PDF_NAME(FontFile));
  pdf_obj *file2 = pdf_dict_get(ctx, descriptor, PDF_NAME(FontFile2));
  pdf_obj *file3 = pdf_dict_get(ctx, descriptor, PDF_NAME(FontFile3));
  pdf_obj *file = file1 ? file1 : file2 ? file2 : file3;
  if (!pdf_is_indirect(ctx, file))
    return nullptr;
  // A font name written as a string is how some producers mislabel Chinese fonts, which the
  // engine reads in a way of its own.
  if (pdf_is_string(ctx, pdf_dict_get(ctx, descriptor, PDF_NAME(FontName))))
    return nullptr;
  const float ascent = pdf_dict_get_real(ctx, descriptor, PDF_NAME(Ascent));
  const float descent = pdf_dict_get_real(ctx, descriptor, PDF_NAME(Descent));
  // A TrueType program gives the ascent and descent a descriptor leaves out.
  const bool trueTypeOutlines =
      !file1 &&
      (file2 || pdf_name_eq(ctx, pdf_dict_get(ctx, file3, PDF_NAME(Subtype)), PDF_NAME(OpenType)));
  if (trueTypeOutlines && (ascent == 0 || descent == 0))
    return nullptr;

  int first = pdf_dict_get_int(ctx, dict, PDF_NAME(FirstChar));
  int last = pdf_dict_get_int(ctx, dict, PDF_NAME(LastChar));
  if (first < 0 || last > 255 || first > last)
    first = last = 0;

  const char *names[256];
  namesFromEncoding(ctx, pdf_dict_get(ctx, dict, PDF_NAME(Encoding)), names);
  const int flags = pdf_dict_get_int(ctx, descriptor, PDF_NAME(Flags));
  if (type1 && (flags & 4)) {
    // A symbolic Type 1 font's names that no standard knows read as the standard encoding's.
    for (int i = 0; i < 256; ++i)
      if (names[i] && !fz_unicode_from_glyph_name(names[i]))
        names[i] = fz_glyph_name_from_adobe_standard[i];
  }
  pdf_obj *toUnicode = pdf_dict_get(ctx, dict, PDF_NAME(ToUnicode));
  bool unnamed = false; // a code drawn with a width, whose name only the program knows
  for (int c = first; c <= last; ++c)
    unnamed |= !names[c] && pdf_array_get_int(ctx, widths, c - first) != 0;
  if (unnamed && !pdf_is_stream(ctx, toUnicode))
    return nullptr;

  pdf_font_desc *desc = pdf_new_font_desc(ctx);
  fz_var(desc);
  fz_try(ctx) {
    desc->flags = flags;
    desc->italic_angle = pdf_dict_get_real(ctx, descriptor, PDF_NAME(ItalicAngle));
    desc->ascent = ascent;
    desc->descent = descent;
    desc->cap_height = pdf_dict_get_real(ctx, descriptor, PDF_NAME(CapHeight));
    desc->x_height = pdf_dict_get_real(ctx, descriptor, PDF_NAME(XHeight));
    desc->missing_width = pdf_dict_get_real(ctx, descriptor, PDF_NAME(MissingWidth));
    desc->is_embedded = 1;

    // A font without a program: neither glyph shapes nor Type 3 procedures.
    fz_font *font = fz_new_type3_font(ctx, baseFont, fz_identity);
    desc->font = font;
    fz_free(ctx, font->t3procs);
    fz_free(ctx, font->t3lists);
    fz_free(ctx, font->t3flags);
    font->t3procs = nullptr;
    font->t3lists = nullptr;
    font->t3flags = nullptr;

    desc->encoding = pdf_new_identity_cmap(ctx, 0, 1);
    desc->size += pdf_cmap_size(ctx, desc->encoding);
    fz_try(ctx) { pdf_load_to_unicode(ctx, doc, desc, names, nullptr, toUnicode); }
    fz_catch(ctx) {
      fz_rethrow_if(ctx, FZ_ERROR_TRYLATER);
      fz_warn(ctx, "cannot load ToUnicode CMap");
    }
    pdf_set_default_hmtx(ctx, desc, static_cast<int>(desc->missing_width));
    for (int c = first; c <= last; ++c)
      pdf_add_hmtx(ctx, desc, c, c, pdf_array_get_int(ctx, widths, c - first));
    pdf_end_hmtx(ctx, desc);
    // The advances by code, looked up once: the 256 widths a Type 3 font keeps are there.
    for (int c = 0; c < 256; ++c)
      font->t3widths[c] = float(pdf_lookup_hmtx(ctx, desc, c).w) * 0.001f;
    if (unnamed) {
      // Only a ToUnicode entry can stand in for a missing name.
      int ucs[8];
      for (int c = first; c <= last && desc; ++c)
        if (!names[c] && pdf_array_get_int(ctx, widths, c - first) != 0 &&
            (!desc->to_unicode || pdf_lookup_cmap_full(desc->to_unicode, unsigned(c), ucs) <= 0)) {
          pdf_drop_font(ctx, desc);
          desc = nullptr;
        }
    }
  }
  fz_catch(ctx) {
    pdf_drop_font(ctx, desc);
    fz_rethrow(ctx);
  }
  return desc;
}

} // namespace

bool isMetricFont(const fz_font *font) {
  return font && !font->ft_face && !font->t3procs && font->t3widths;
}

void MetricFontSet::use(fz_context *ctx, const RunFontFilter *filter) noexcept {
  if (filter && m_filter && sameFilter(*filter, *m_filter))
    return;
  clear(ctx);
  m_filter.reset();
  try {
    if (filter)
      m_filter = *filter;
  } catch (...) {
    m_filter.reset(); // no font is read in part then
  }
}

void MetricFontSet::clear(fz_context *ctx) noexcept {
  m_judged.clear();
  if (m_keys.empty())
    return;
  fz_try(ctx) {
    fz_store_drop_fn *drop = fontDropFunction(ctx);
    for (pdf_obj *key : m_keys)
      pdf_remove_item(ctx, drop, key);
  }
  fz_catch(ctx) {}
  for (pdf_obj *key : m_keys)
    pdf_drop_obj(ctx, key);
  m_keys.clear();
}

namespace {

int fontCount(fz_context *ctx, pdf_obj *resources) noexcept {
  int count = 0;
  fz_var(count);
  fz_try(ctx) { count = pdf_dict_len(ctx, pdf_dict_get(ctx, resources, PDF_NAME(Font))); }
  fz_catch(ctx) { count = 0; }
  return count;
}

} // namespace

void MetricFontSet::store(fz_context *ctx, pdf_document *doc, pdf_obj *resources) noexcept {
  if (!m_filter)
    return;
  // Room for every font of the resources, so that noting one cannot fail once it is stored.
  const int count = fontCount(ctx, resources);
  try {
    m_keys.reserve(m_keys.size() + size_t(count));
  } catch (...) {
    return;
  }
  for (int i = 0; i < count; ++i)
    storeFont(ctx, doc, resources, i);
}

void MetricFontSet::storeFont(fz_context *ctx, pdf_document *doc, pdf_obj *resources,
                              int index) noexcept {
  pdf_font_desc *desc = nullptr;
  fz_var(desc);
  fz_try(ctx) {
    pdf_obj *ref = pdf_dict_get_val(ctx, pdf_dict_get(ctx, resources, PDF_NAME(Font)), index);
    // Only fonts kept by object number are looked for in the store; each is judged once (most
    // pages of a document share their fonts).
    bool judged = !pdf_is_indirect(ctx, ref);
    try {
      judged = judged || !m_judged.insert(pdf_to_num(ctx, ref)).second;
    } catch (...) {
    }
    const char *base = pdf_to_name(ctx, pdf_dict_get(ctx, ref, PDF_NAME(BaseFont)));
    // The name as runs carry it (what is not UTF-8 becomes U+FFFD), which the filter was made of.
    bool kept = true;
    try {
      kept = judged || !*base || m_filter->keeps(sanitizeUtf8(base));
    } catch (...) {
    }
    if (!kept) {
      fz_store_drop_fn *drop = fontDropFunction(ctx);
      if (void *known = pdf_find_item(ctx, drop, ref)) {
        pdf_drop_font(ctx, static_cast<pdf_font_desc *>(known));
      } else if ((desc = readMetricFont(ctx, doc, ref, base))) {
        pdf_store_item(ctx, ref, desc, desc->size);
        m_keys.push_back(pdf_keep_obj(ctx, ref)); // reserved by the caller: cannot throw
      }
    }
  }
  fz_always(ctx) { pdf_drop_font(ctx, desc); }
  fz_catch(ctx) {} // the engine loads that font itself
}

} // namespace sorvane::host
