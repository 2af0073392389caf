// Files worked on in child processes: never forked from a process that has other threads.
#include "host/cli/file_processes.h"

#include <gtest/gtest.h>
#include <sstream>
#include <thread>
#include <unistd.h>
#include <vector>

namespace sorvane::cli {
namespace {

std::vector<pid_t> workersOf(size_t files, size_t processes) {
  std::ostringstream out, err;
  std::vector<pid_t> pids;
  runInProcesses(
      files, processes,
      [](size_t, std::ostream &, std::ostream &) { return int(::getpid() % 100000); }, out, err,
      [&](int status) { pids.push_back(status); }, -1, [](size_t) {});
  return pids;
}

TEST(FileProcesses, ChildrenDoTheFilesOfASingleThreadedProcess) {
  const pid_t self = ::getpid() % 100000;
  ASSERT_EQ(threadsOfThisProcess(), 1u);
  const std::vector<pid_t> pids = workersOf(4, 2);
  ASSERT_EQ(pids.size(), 4u);
  for (pid_t pid : pids)
    EXPECT_NE(pid, self);
}

TEST(FileProcesses, AProcessWithOtherThreadsDoesTheFilesItself) {
  const pid_t self = ::getpid() % 100000;
  bool stop = false;
  std::thread other([&stop] {
    while (!__atomic_load_n(&stop, __ATOMIC_ACQUIRE))
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  EXPECT_EQ(threadsOfThisProcess(), 2u);
  const std::vector<pid_t> pids = workersOf(3, 2);
  __atomic_store_n(&stop, true, __ATOMIC_RELEASE);
  other.join();
  EXPECT_EQ(pids, std::vector<pid_t>(3, self));
}

} // namespace
} // namespace sorvane::cli
