// The one way host code calls MuPDF: inside a MuPDF try block whose error becomes a HostError.
// MuPDF reports errors by longjmp, so the body must not throw and must not own anything with
// a destructor; results go out through variables captured by reference.
#pragma once

#include <cstdio>

#include <mupdf/fitz.h>

#include "sdk/host_error.h"

namespace sorvane::host {

template <class Body>
void mupdfCall(fz_context *ctx, ErrorCode code, const char *what, Body &&body) {
  char message[400];
  int failed = 0;
  fz_var(failed);
  fz_try(ctx) { body(); }
  fz_catch(ctx) {
    failed = 1;
    std::snprintf(message, sizeof message, "%s: %s", what, fz_caught_message(ctx));
  }
  if (failed)
    throw HostError(code, message);
}

} // namespace sorvane::host
