#include "host/cli/terminal_progress.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/test_host.h"

namespace sorvane::cli {
namespace {

class Progress : public ::testing::Test {
protected:
  void say(TerminalProgress &p, const char *text) {
    TextHandle t = host.asExtra().textFromEncoded(text, HostEncoding::Utf8);
    p.monitor().setText(t, p.clientData());
    host.asExtra().textDestroy(t);
  }
  test::TestHost host;
  std::ostringstream out;
};

TEST_F(Progress, WithoutATerminalEachTextIsAPlainLine) {
  TerminalProgress p(out, false, host.asExtra());
  const ProgressMonitor &m = p.monitor();
  m.beginOperation(p.clientData());
  m.setDuration(22, p.clientData());
  say(p, "Scanning for bookmarks...");
  m.setCurrValue(7, p.clientData());
  say(p, "Scanning for bookmarks: 7 out of 22 pages ");
  m.endOperation(p.clientData());
  EXPECT_EQ(out.str(), "Scanning for bookmarks...\nScanning for bookmarks: 7 out of 22 pages\n");
}

TEST_F(Progress, OnATerminalABarIsRedrawnInPlace) {
  TerminalProgress p(out, true, host.asExtra());
  const ProgressMonitor &m = p.monitor();
  m.beginOperation(p.clientData());
  m.setDuration(20, p.clientData());
  m.setCurrValue(10, p.clientData());
  say(p, "Scanning for bookmarks: 10 out of 20 pages ");
  const std::string half = out.str();
  EXPECT_NE(half.find("\r"), std::string::npos);
  EXPECT_NE(half.find("50%  Scanning for bookmarks: 10 out of 20 pages"), std::string::npos);
  EXPECT_NE(half.find("[###############...............]"), std::string::npos);
  m.endOperation(p.clientData());
  EXPECT_NE(out.str().find("100%"), std::string::npos);
  EXPECT_EQ(out.str().back(), '\n');
}

TEST_F(Progress, ValuesOutsideTheDurationStayOnTheBar) {
  TerminalProgress p(out, true, host.asExtra());
  const ProgressMonitor &m = p.monitor();
  m.setDuration(0, p.clientData());
  m.setCurrValue(5, p.clientData());
  say(p, "x");
  EXPECT_NE(out.str().find("0%  x"), std::string::npos);
}

} // namespace
} // namespace sorvane::cli
