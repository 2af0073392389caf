#include "sdk/host_error.h"

#include <gtest/gtest.h>

#include "host/base/atom_table.h"

namespace sorvane {
namespace {

// A HostError thrown inside the host library is caught by its type outside it.
TEST(HostError, CrossesFromTheHostLibraryWithItsCodeAndText) {
  host::AtomTable table(0);
  try {
    table.intern("x");
    FAIL() << "a full table took a name";
  } catch (const HostError &e) {
    EXPECT_EQ(e.code(), ErrorCode::LimitReached);
    EXPECT_NE(std::string(e.what()).find("full"), std::string::npos);
  }
}

TEST(HostError, EveryCodeHasAText) {
  for (ErrorCode c : {ErrorCode::Generic, ErrorCode::InvalidHandle, ErrorCode::FileFormat,
                      ErrorCode::PdfPermission})
    EXPECT_STRNE(errorCodeText(c), "Unknown error.");
  EXPECT_STREQ(errorCodeText(static_cast<ErrorCode>(9999)), "Unknown error.");
}

} // namespace
} // namespace sorvane
