#include "host/jobs/exit_code.h"

namespace sorvane::jobs {

ExitCode exitCodeFor(const HostError &error) {
  switch (error.code()) {
  case ErrorCode::FileNotFound:
  case ErrorCode::FileAccess:
  case ErrorCode::FileFormat:
  case ErrorCode::FileTooLarge:
  case ErrorCode::FileChanged:
  case ErrorCode::PdfDamaged:
  case ErrorCode::PdfPassword:
  case ErrorCode::PdfPermission: return ExitCode::InputError;
  case ErrorCode::Cancelled: return ExitCode::Interrupted;
  default: return ExitCode::HostFailure;
  }
}

} // namespace sorvane::jobs
