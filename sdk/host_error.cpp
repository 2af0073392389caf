#include "sdk/host_error.h"

namespace sorvane {

const char *errorCodeText(ErrorCode code) noexcept {
  switch (code) {
  case ErrorCode::None: return "No error.";
  case ErrorCode::Generic: return "The operation failed.";
  case ErrorCode::OutOfMemory: return "Out of memory.";
  case ErrorCode::BadParameter: return "Bad parameter.";
  case ErrorCode::InvalidHandle: return "The object is no longer valid.";
  case ErrorCode::NotOwner: return "The object belongs to another object.";
  case ErrorCode::LimitReached: return "A host limit was reached.";
  case ErrorCode::Cancelled: return "The operation was interrupted.";
  case ErrorCode::FileNotFound: return "The file does not exist.";
  case ErrorCode::FileAccess: return "The file cannot be accessed.";
  case ErrorCode::FileFormat: return "The file has an unknown format.";
  case ErrorCode::FileTooLarge: return "The file is too large.";
  case ErrorCode::FileChanged: return "The file was changed by another program.";
  case ErrorCode::PdfDamaged: return "The PDF file is damaged.";
  case ErrorCode::PdfPassword: return "The PDF file needs a password.";
  case ErrorCode::PdfPermission: return "The document's security does not permit this.";
  }
  return "Unknown error.";
}

} // namespace sorvane
