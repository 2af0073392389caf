// Guarded access to PDF objects: each call runs inside its own MuPDF try block, so that the
// C++ code around it can hold strings and containers. A MuPDF error becomes HostError(PdfDamaged).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/pdf/pdf_object.h"
#include "sdk/document_tables.h"

namespace sorvane::host {

class PdfOps {
public:
  PdfOps(fz_context *ctx, pdf_document *doc) : m_ctx(ctx), m_doc(doc) {}

  // Reading
  pdf_obj *get(pdf_obj *dict, pdf_obj *key) const;
  pdf_obj *get(pdf_obj *dict, std::string_view key) const;
  pdf_obj *resolve(pdf_obj *obj) const;
  CosType type(pdf_obj *obj) const;
  bool isDict(pdf_obj *obj) const { return type(obj) == CosType::Dict; }
  bool isArray(pdf_obj *obj) const { return type(obj) == CosType::Array; }
  bool isNull(pdf_obj *obj) const { return type(obj) == CosType::Null; }
  int num(pdf_obj *obj) const; // object number of an indirect reference, else 0
  bool sameObject(pdf_obj *a, pdf_obj *b) const;
  int64_t toInt(pdf_obj *obj) const;
  double toReal(pdf_obj *obj) const;
  std::string name(pdf_obj *obj) const;        // empty unless a name; valid UTF-8
  std::string stringBytes(pdf_obj *obj) const; // empty unless a string; the bytes as they are
  std::string textString(pdf_obj *obj) const;  // a text string decoded to valid UTF-8
  int arrayLength(pdf_obj *array) const;
  pdf_obj *arrayGet(pdf_obj *array, int index) const;

  // Writing
  void put(pdf_obj *dict, pdf_obj *key, pdf_obj *value) const;
  void putInt(pdf_obj *dict, pdf_obj *key, int64_t value) const;
  void putName(pdf_obj *dict, pdf_obj *key, const char *value) const;
  void putTextString(pdf_obj *dict, pdf_obj *key, std::string_view utf8) const;
  void remove(pdf_obj *dict, pdf_obj *key) const;
  // A new indirect dictionary.
  PdfObject newIndirectDict() const;
  // A new direct go-to action << /S /GoTo /D dest >>.
  PdfObject newGoToAction(pdf_obj *dest) const;
  // A new direct array of numbers.
  PdfObject newRealArray(const double *values, int count) const;
  // A new explicit destination [page /fitName values...].
  PdfObject newDestArray(pdf_obj *page, const char *fitName, const double *values, int count) const;

  // Document
  pdf_obj *trailerGet(pdf_obj *key) const;
  // The value of the named destination `name` (a name or a string): from the catalog's /Dests
  // dictionary, else from the /Dests name tree; borrowed, an array or a dictionary with /D, null
  // when neither holds it.
  pdf_obj *lookupDest(pdf_obj *name) const;

private:
  fz_context *m_ctx;
  pdf_document *m_doc;
};

} // namespace sorvane::host
