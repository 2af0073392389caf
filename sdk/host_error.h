// Host errors: the one exception type through which host failures reach callers.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

// Types that cross module boundaries (thrown from the host, caught in a plug-in) keep default
// visibility, so that both sides agree on their identity.
#define SORVANE_SHARED_TYPE __attribute__((visibility("default")))

namespace sorvane {

// Error codes the host raises. Callers branch on the code, never on the text.
enum class ErrorCode : int32_t {
  None = 0,
  Generic = 1,        // an unspecified failure
  OutOfMemory = 2,    // the host could not allocate
  BadParameter = 3,   // an argument the operation cannot take
  InvalidHandle = 4,  // a handle that names no live host object
  NotOwner = 5,       // an object that belongs to another (a Cabinet inside a parent)
  LimitReached = 6,   // a host table is full (atoms)
  Cancelled = 7,      // the user asked the host to stop (Ctrl-C): end the operation, keep nothing
  FileNotFound = 20,  // a path that names no file
  FileAccess = 21,    // a file that cannot be opened, read or written
  FileFormat = 22,    // a file whose contents are not what the operation reads
  FileTooLarge = 23,  // a file over the size the operation accepts
  FileChanged = 24,   // a file that someone else changed while it was open
  PdfDamaged = 40,    // a PDF file that cannot be read
  PdfPassword = 41,   // a PDF file that needs a password
  PdfPermission = 42, // an operation the document's security forbids
};

// Thrown by host operations. `code()` is for decisions, `what()` for people: it holds the
// host's text for the failure, often with the object concerned (a path, a key).
class SORVANE_SHARED_TYPE HostError : public std::exception {
public:
  HostError(ErrorCode code, std::string text) : m_code(code), m_text(std::move(text)) {}

  ErrorCode code() const noexcept { return m_code; }
  const char *what() const noexcept override { return m_text.c_str(); }
  const std::string &text() const noexcept { return m_text; }

private:
  ErrorCode m_code;
  std::string m_text;
};

// The host's general text for an error code, without the details a HostError carries.
const char *errorCodeText(ErrorCode code) noexcept;

} // namespace sorvane
