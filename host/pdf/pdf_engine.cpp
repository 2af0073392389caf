#include "host/pdf/pdf_engine.h"

#include <mupdf/fitz.h>

#include "sdk/host_error.h"

namespace sorvane::host {

std::string pdfEngineVersion() {
  // fz_new_context compares the library's version with the headers' and fails on a mismatch.
  fz_context *ctx = fz_new_context(nullptr, nullptr, FZ_STORE_UNLIMITED);
  if (!ctx)
    throw HostError(ErrorCode::Generic, "The PDF engine (MuPDF " FZ_VERSION ") cannot start.");
  fz_drop_context(ctx);
  return "MuPDF " FZ_VERSION;
}

} // namespace sorvane::host
