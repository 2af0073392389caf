#include "host/pdf/pdf_ops.h"

#include <cstring>

#include <mupdf/pdf.h>

#include "host/pdf/mupdf_call.h"
#include "host/pdf/name_tree.h"
#include "sdk/text_codec.h"

namespace sorvane::host {
namespace {
constexpr const char *kRead = "cannot read the PDF file";
constexpr const char *kWrite = "cannot change the PDF document";
} // namespace

pdf_obj *PdfOps::get(pdf_obj *dict, pdf_obj *key) const {
  pdf_obj *r = nullptr;
  mupdfCall(m_ctx, ErrorCode::PdfDamaged, kRead, [&] { r = pdf_dict_get(m_ctx, dict, key); });
  return r;
}

pdf_obj *PdfOps::get(pdf_obj *dict, std::string_view key) const {
  const std::string k(key);
  const char *ck = k.c_str();
  pdf_obj *r = nullptr;
  mupdfCall(m_ctx, ErrorCode::PdfDamaged, kRead, [&] { r = pdf_dict_gets(m_ctx, dict, ck); });
  return r;
}

pdf_obj *PdfOps::resolve(pdf_obj *obj) const {
  pdf_obj *r = nullptr;
  mupdfCall(m_ctx, ErrorCode::PdfDamaged, kRead, [&] { r = pdf_resolve_indirect(m_ctx, obj); });
  return r;
}

CosType PdfOps::type(pdf_obj *obj) const {
  CosType t = CosType::Null;
  mupdfCall(m_ctx, ErrorCode::PdfDamaged, kRead, [&] {
    if (pdf_is_stream(m_ctx, obj))
      t = CosType::Stream;
    else if (pdf_is_dict(m_ctx, obj))
      t = CosType::Dict;
    else if (pdf_is_array(m_ctx, obj))
      t = CosType::Array;
    else if (pdf_is_name(m_ctx, obj))
      t = CosType::Name;
    else if (pdf_is_string(m_ctx, obj))
      t = CosType::String;
    else if (pdf_is_int(m_ctx, obj))
      t = CosType::Integer;
    else if (pdf_is_real(m_ctx, obj))
      t = CosType::Real;
    else if (pdf_is_bool(m_ctx, obj))
      t = CosType::Boolean;
  });
  return t;
}

int PdfOps::num(pdf_obj *obj) const {
  int n = 0;
  mupdfCall(m_ctx, ErrorCode::PdfDamaged, kRead, [&] {
    if (pdf_is_indirect(m_ctx, obj))
      n = pdf_to_num(m_ctx, obj);
  });
  return n;
}

bool PdfOps::sameObject(pdf_obj *a, pdf_obj *b) const {
  if (a == b)
    return true;
  const int na = num(a);
  return na != 0 && na == num(b);
}

int64_t PdfOps::toInt(pdf_obj *obj) const {
  int64_t v = 0;
  mupdfCall(m_ctx, ErrorCode::PdfDamaged, kRead, [&] { v = pdf_to_int64(m_ctx, obj); });
  return v;
}

double PdfOps::toReal(pdf_obj *obj) const {
  double v = 0;
  mupdfCall(m_ctx, ErrorCode::PdfDamaged, kRead, [&] { v = pdf_to_real(m_ctx, obj); });
  return v;
}

std::string PdfOps::name(pdf_obj *obj) const {
  const char *s = "";
  mupdfCall(m_ctx, ErrorCode::PdfDamaged, kRead, [&] {
    if (pdf_is_name(m_ctx, obj))
      s = pdf_to_name(m_ctx, obj);
  });
  return sanitizeUtf8(s);
}

std::string PdfOps::stringBytes(pdf_obj *obj) const {
  const char *s = nullptr;
  size_t len = 0;
  mupdfCall(m_ctx, ErrorCode::PdfDamaged, kRead, [&] {
    if (pdf_is_string(m_ctx, obj)) {
      s = pdf_to_str_buf(m_ctx, obj);
      len = pdf_to_str_len(m_ctx, obj);
    }
  });
  return s ? std::string(s, len) : std::string();
}

namespace {

// PDFDocEncoding: Latin-1 but for the accents at 0x18-0x1F and the punctuation and letters at
// 0x80-0xA0. 0x9F stands for no character, and a NUL for none a title may hold: each becomes
// U+FFFD, so that the rest of the text stays (the engine ends the text there). 0x7F and 0xAD,
// also left open, read as in ASCII and Latin-1 (delete, soft hyphen), as producers mean them.
std::string pdfDocToUtf8(std::string_view bytes) {
  static constexpr char16_t kLow[8] = {0x02D8, 0x02C7, 0x02C6, 0x02D9,
                                       0x02DD, 0x02DB, 0x02DA, 0x02DC};
  static constexpr char16_t kHigh[33] = {
      0x2022, 0x2020, 0x2021, 0x2026, 0x2014, 0x2013, 0x0192, 0x2044, 0x2039, 0x203A, 0x2212,
      0x2030, 0x201E, 0x201C, 0x201D, 0x2018, 0x2019, 0x201A, 0x2122, 0xFB01, 0xFB02, 0x0141,
      0x0152, 0x0160, 0x0178, 0x017D, 0x0131, 0x0142, 0x0153, 0x0161, 0x017E, 0xFFFD, 0x20AC};
  std::string out;
  out.reserve(bytes.size());
  for (const char byte : bytes) {
    const auto b = static_cast<unsigned char>(byte);
    char32_t c = b;
    if (b == 0x00)
      c = kReplacementChar;
    else if (b >= 0x18 && b <= 0x1F)
      c = kLow[b - 0x18];
    else if (b >= 0x80 && b <= 0xA0)
      c = kHigh[b - 0x80];
    appendUtf8(out, c);
  }
  return out;
}

} // namespace

std::string PdfOps::textString(pdf_obj *obj) const {
  // Decoded here rather than by the engine, which pairs a lone UTF-16 surrogate with whatever
  // follows it and ends a text at a byte PDFDocEncoding leaves open; an unpaired surrogate
  // becomes U+FFFD, and so does every byte of a UTF-8 string that is not UTF-8.
  const std::string bytes = stringBytes(obj);
  const auto at = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() >= 2 && ((at(0) == 0xFE && at(1) == 0xFF) || (at(0) == 0xFF && at(1) == 0xFE))) {
    const bool bigEndian = at(0) == 0xFE;
    std::u16string units;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
      units.push_back(
          static_cast<char16_t>(bigEndian ? (at(i) << 8 | at(i + 1)) : (at(i + 1) << 8 | at(i))));
    return utf16ToUtf8(units);
  }
  if (bytes.size() >= 3 && at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF)
    return sanitizeUtf8(std::string_view(bytes).substr(3));
  return pdfDocToUtf8(bytes);
}

int PdfOps::arrayLength(pdf_obj *array) const {
  int n = 0;
  mupdfCall(m_ctx, ErrorCode::PdfDamaged, kRead, [&] { n = pdf_array_len(m_ctx, array); });
  return n;
}

pdf_obj *PdfOps::arrayGet(pdf_obj *array, int index) const {
  pdf_obj *r = nullptr;
  mupdfCall(m_ctx, ErrorCode::PdfDamaged, kRead, [&] { r = pdf_array_get(m_ctx, array, index); });
  return r;
}

void PdfOps::put(pdf_obj *dict, pdf_obj *key, pdf_obj *value) const {
  mupdfCall(m_ctx, ErrorCode::Generic, kWrite, [&] { pdf_dict_put(m_ctx, dict, key, value); });
}

void PdfOps::putInt(pdf_obj *dict, pdf_obj *key, int64_t value) const {
  mupdfCall(m_ctx, ErrorCode::Generic, kWrite, [&] { pdf_dict_put_int(m_ctx, dict, key, value); });
}

void PdfOps::putName(pdf_obj *dict, pdf_obj *key, const char *value) const {
  mupdfCall(m_ctx, ErrorCode::Generic, kWrite, [&] { pdf_dict_put_name(m_ctx, dict, key, value); });
}

void PdfOps::putTextString(pdf_obj *dict, pdf_obj *key, std::string_view utf8) const {
  const std::string text(utf8);
  if (text.find('\0') == std::string::npos) {
    const char *s = text.c_str();
    mupdfCall(m_ctx, ErrorCode::Generic, kWrite,
              [&] { pdf_dict_put_text_string(m_ctx, dict, key, s); });
    return;
  }
  // The engine takes a C string and would end the text at the NUL: UTF-16BE, made here.
  std::string bytes = "\xFE\xFF";
  for (const char16_t unit : utf8ToUtf16(text)) {
    bytes += static_cast<char>(unit >> 8);
    bytes += static_cast<char>(unit & 0xFF);
  }
  const char *b = bytes.data();
  const size_t n = bytes.size();
  mupdfCall(m_ctx, ErrorCode::Generic, kWrite,
            [&] { pdf_dict_put_drop(m_ctx, dict, key, pdf_new_string(m_ctx, b, n)); });
}

void PdfOps::remove(pdf_obj *dict, pdf_obj *key) const {
  mupdfCall(m_ctx, ErrorCode::Generic, kWrite, [&] { pdf_dict_del(m_ctx, dict, key); });
}

PdfObject PdfOps::newIndirectDict() const {
  pdf_obj *r = nullptr;
  mupdfCall(m_ctx, ErrorCode::Generic, kWrite, [&] { r = pdf_add_new_dict(m_ctx, m_doc, 4); });
  return PdfObject(m_ctx, r);
}

PdfObject PdfOps::newGoToAction(pdf_obj *dest) const {
  PdfObject action;
  pdf_obj *r = nullptr;
  mupdfCall(m_ctx, ErrorCode::Generic, kWrite, [&] { r = pdf_new_dict(m_ctx, m_doc, 2); });
  action = PdfObject(m_ctx, r);
  put(r, PDF_NAME(S), PDF_NAME(GoTo));
  put(r, PDF_NAME(D), dest);
  return action;
}

PdfObject PdfOps::newRealArray(const double *values, int count) const {
  return newDestArray(nullptr, nullptr, values, count);
}

PdfObject PdfOps::newDestArray(pdf_obj *page, const char *fitName, const double *values,
                               int count) const {
  pdf_obj *r = nullptr;
  mupdfCall(m_ctx, ErrorCode::Generic, kWrite, [&] { r = pdf_new_array(m_ctx, m_doc, count + 2); });
  PdfObject array(m_ctx, r);
  mupdfCall(m_ctx, ErrorCode::Generic, kWrite, [&] {
    if (page)
      pdf_array_push(m_ctx, r, page);
    if (fitName)
      pdf_array_push_name(m_ctx, r, fitName);
    for (int i = 0; i < count; ++i)
      pdf_array_push_real(m_ctx, r, values[i]);
  });
  return array;
}

pdf_obj *PdfOps::trailerGet(pdf_obj *key) const {
  pdf_obj *r = nullptr;
  mupdfCall(m_ctx, ErrorCode::PdfDamaged, kRead,
            [&] { r = pdf_dict_get(m_ctx, pdf_trailer(m_ctx, m_doc), key); });
  return r;
}

pdf_obj *PdfOps::lookupDest(pdf_obj *name) const {
  // The old /Dests dictionary first, then the name tree; a document may have both. The tree is
  // walked by our own bounded walk: the engine's lookup takes time that doubles with each level
  // of a tree whose nodes have one kid each.
  pdf_obj *found = nullptr;
  pdf_obj *tree = nullptr;
  const char *text = nullptr;
  size_t length = 0;
  mupdfCall(m_ctx, ErrorCode::PdfDamaged, kRead, [&] {
    pdf_obj *root = pdf_dict_get(m_ctx, pdf_trailer(m_ctx, m_doc), PDF_NAME(Root));
    if (pdf_is_name(m_ctx, name)) {
      text = pdf_to_name(m_ctx, name);
      length = strlen(text);
    } else {
      text = pdf_to_str_buf(m_ctx, name);
      length = pdf_to_str_len(m_ctx, name);
    }
    pdf_obj *dests = pdf_dict_get(m_ctx, root, PDF_NAME(Dests));
    if (pdf_is_dict(m_ctx, dests))
      found = pdf_dict_gets(m_ctx, dests, text);
    tree = pdf_dict_get(m_ctx, pdf_dict_get(m_ctx, root, PDF_NAME(Names)), PDF_NAME(Dests));
  });
  if (found)
    return found;
  bool cut = false;
  found = findInNameTree(*this, tree, std::string_view(text, length), &cut);
  // Told through the engine's warnings, which every command shows; the same text each time, so
  // that the engine counts repeats instead of listing them.
  if (cut)
    fz_warn(m_ctx, "the tree of named destinations is too deep or too large to search whole; "
                   "destinations in its unread part are taken as missing");
  return found;
}

} // namespace sorvane::host
