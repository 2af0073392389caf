// Writing files safely: only regular files are replaced, and temporary files do not outlive a
// process that a signal ends, nor one that was killed outright.
#include "host/base/file_io.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "sdk/host_error.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> hiddenFiles(const fs::path &folder) {
  std::vector<std::string> out;
  for (const auto &entry : fs::directory_iterator(folder))
    if (entry.path().filename().string().front() == '.')
      out.push_back(entry.path().filename().string());
  return out;
}

TEST(SafeWriting, OnlyRegularFilesAndNewPathsAreWritten) {
  test::TempDir dir;
  ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
  fs::create_symlink(dir.file("pipe"), dir.file("link-to-pipe"));
  fs::create_directory(dir.path() / "folder");
  for (const char *name : {"pipe", "link-to-pipe", "folder"}) {
    try {
      host::writeFileAtomically(dir.file(name), "data");
      ADD_FAILURE() << name << " was written";
    } catch (const HostError &e) {
      EXPECT_EQ(e.code(), ErrorCode::FileAccess);
      EXPECT_NE(std::string(e.what()).find("not a regular file"), std::string::npos) << e.what();
    }
  }
  EXPECT_TRUE(fs::is_fifo(dir.file("pipe")));
  EXPECT_TRUE(fs::is_symlink(dir.file("link-to-pipe")));
  EXPECT_TRUE(hiddenFiles(dir.path()).empty());

  // A link to a regular file stays a link; the file it leads to gets the contents.
  test::writeFile(dir.file("real"), "old");
  fs::create_symlink(dir.file("real"), dir.file("link"));
  host::writeFileAtomically(dir.file("link"), "new");
  EXPECT_TRUE(fs::is_symlink(dir.file("link")));
  EXPECT_EQ(test::readFile(dir.file("real")), "new");
}

TEST(SafeWriting, ATerminatingSignalRemovesTheTemporaryFile) {
  test::TempDir dir;
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    host::removeTempFilesOnSignals();
    host::PendingFile file(dir.file("out.pdf"));
    file.write("half of a file");
    ::raise(SIGTERM);
    ::_exit(0); // not reached: the signal ends the process
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  // Interrupted, as the exit codes say, not killed.
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130) << status;
  EXPECT_TRUE(hiddenFiles(dir.path()).empty());
  EXPECT_FALSE(fs::exists(dir.file("out.pdf")));
}

TEST(SafeWriting, CtrlCStillEndsTheProcessByItsSignal) {
  // A shell running a loop of commands stops the loop only when a command dies of SIGINT.
  test::TempDir dir;
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    host::removeTempFilesOnSignals();
    host::PendingFile file(dir.file("out.pdf"));
    file.write("half of a file");
    ::raise(SIGINT);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
  EXPECT_TRUE(hiddenFiles(dir.path()).empty());
}

TEST(SafeWriting, AForwardedStopOnlyAsksTheOperationToStop) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    host::removeTempFilesOnSignals();
    host::takeForwardedStops();
    ::raise(host::kForwardedStop);
    ::raise(host::kForwardedStop); // a second one too
    ::_exit(host::interruptRequested() ? 7 : 8);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 7) << status;
}

TEST(SafeWriting, TheNextWriteRemovesWhatAKilledProcessLeft) {
  test::TempDir dir;
  // A process that is gone: one we started and waited for.
  const pid_t gone = ::fork();
  if (gone == 0)
    ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  const std::string stale = ".out.pdf.sorvane-" + std::to_string(gone) + ".a1B2c3";
  const std::string live = ".out.pdf.sorvane-" + std::to_string(::getpid()) + ".d4E5f6";
  const std::string foreign = ".out.pdf.other-123.a1B2c3";
  for (const std::string &name : {stale, live, foreign})
    test::writeFile(dir.file(name), "left over");
  host::writeFileAtomically(dir.file("out.pdf"), "result");
  EXPECT_FALSE(fs::exists(dir.file(stale)));
  EXPECT_TRUE(fs::exists(dir.file(live)));    // its process still runs
  EXPECT_TRUE(fs::exists(dir.file(foreign))); // not ours
  EXPECT_EQ(test::readFile(dir.file("out.pdf")), "result");
}

} // namespace
} // namespace sorvane
