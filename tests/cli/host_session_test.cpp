// One session of a run has the plug-in at a time: its host tables are the process's.
#include "host/cli/host_session.h"

#include <gtest/gtest.h>
#include <sstream>

#include "sdk/host_error.h"

namespace sorvane::cli {
namespace {

TEST(HostSession, ASecondSessionCannotLoadThePlugInWhileTheFirstHasIt) {
  std::ostringstream err;
  {
    HostSession first(err);
    first.loadPlugIn();
    first.loadPlugIn(); // again: nothing happens
    HostSession second(err);
    EXPECT_THROW(second.loadPlugIn(), HostError);
  }
  HostSession later(err);
  EXPECT_NO_THROW(later.loadPlugIn());
}

} // namespace
} // namespace sorvane::cli
