// The owner of one reference to a MuPDF object: whatever path the code takes, an exception
// included, the reference is dropped exactly once.
#pragma once

#include <utility>

#include <mupdf/pdf.h>

namespace sorvane::host {

class PdfObject {
public:
  PdfObject() = default;
  // Takes over the reference `obj` (which may be null).
  PdfObject(fz_context *ctx, pdf_obj *obj) noexcept : m_ctx(ctx), m_obj(obj) {}
  // A new reference to the borrowed `obj`.
  static PdfObject keep(fz_context *ctx, pdf_obj *obj) noexcept {
    return PdfObject(ctx, pdf_keep_obj(ctx, obj));
  }
  ~PdfObject() { reset(); }
  PdfObject(PdfObject &&other) noexcept
      : m_ctx(other.m_ctx), m_obj(std::exchange(other.m_obj, nullptr)) {}
  PdfObject &operator=(PdfObject &&other) noexcept {
    if (this != &other) {
      reset();
      m_ctx = other.m_ctx;
      m_obj = std::exchange(other.m_obj, nullptr);
    }
    return *this;
  }
  PdfObject(const PdfObject &) = delete;
  PdfObject &operator=(const PdfObject &) = delete;

  // Borrowed: valid while this owner holds the reference.
  pdf_obj *get() const noexcept { return m_obj; }
  explicit operator bool() const noexcept { return m_obj != nullptr; }

  void reset() noexcept {
    if (m_obj)
      pdf_drop_obj(m_ctx, std::exchange(m_obj, nullptr)); // dropping never throws
  }

private:
  fz_context *m_ctx = nullptr;
  pdf_obj *m_obj = nullptr;
};

} // namespace sorvane::host
