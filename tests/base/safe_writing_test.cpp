// Writing files safely: only regular files are replaced, and temporary files do not outlive a
// process that a signal ends, nor one that was killed outright.
#include "host/base/file_io.h"

#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
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

// The wait status of a child that, halfway through writing a file in `dir`, gets `signal`.
int statusAfterSignalWhileWriting(const test::TempDir &dir, int signal) {
  const pid_t child = ::fork();
  if (child == 0) {
    host::removeTempFilesOnSignals();
    host::PendingFile file(dir.file("out.pdf"));
    file.write("half of a file");
    ::raise(signal);
    ::_exit(0); // not reached: the signal ends the process
  }
  int status = -1;
  if (child > 0)
    ::waitpid(child, &status, 0);
  return status;
}

TEST(SafeWriting, ATerminatingSignalRemovesTheTemporaryFile) {
  test::TempDir dir;
  const int status = statusAfterSignalWhileWriting(dir, SIGTERM);
  // Interrupted, as the exit codes say, not killed.
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130) << status;
  EXPECT_TRUE(hiddenFiles(dir.path()).empty());
  EXPECT_FALSE(fs::exists(dir.file("out.pdf")));
}

TEST(SafeWriting, CtrlCStillEndsTheProcessByItsSignal) {
  // A shell running a loop of commands stops the loop only when a command dies of SIGINT.
  test::TempDir dir;
  const int status = statusAfterSignalWhileWriting(dir, SIGINT);
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

// Gives the file at `path` a modification time `seconds` in the past.
void age(const std::string &path, int seconds) {
  const timespec times[2] = {{::time(nullptr) - seconds, 0}, {::time(nullptr) - seconds, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(SafeWriting, TheNextWriteRemovesWhatAKilledWriterLeft) {
  test::TempDir dir;
  // Left by a writer that is gone, whatever process id its name holds (another PID namespace
  // or machine may share the folder, so ids say nothing here).
  const std::string stale = ".out.pdf.sorvane-" + std::to_string(::getpid()) + ".a1B2c3";
  // Held by a live writer in another process, however old and whatever id its name holds.
  const std::string held = ".out.pdf.sorvane-999999999.d4E5f6";
  // Just made: its writer may not have locked it yet.
  const std::string fresh = ".out.pdf.sorvane-999999999.g7H8i9";
  const std::string foreign = ".out.pdf.other-123.a1B2c3";
  for (const std::string &name : {stale, held, fresh, foreign})
    test::writeFile(dir.file(name), "left over");
  for (const std::string &name : {stale, held, foreign})
    age(dir.file(name), 3600);
  int toWriter[2], fromWriter[2];
  ASSERT_EQ(::pipe(toWriter), 0);
  ASSERT_EQ(::pipe(fromWriter), 0);
  const pid_t writer = ::fork();
  ASSERT_GE(writer, 0);
  if (writer == 0) {
    const int fd = ::open(dir.file(held).c_str(), O_RDWR);
    char c = ::flock(fd, LOCK_EX) == 0 ? 'L' : 'x';
    (void)!::write(fromWriter[1], &c, 1);
    (void)!::read(toWriter[0], &c, 1); // until the test is done
    ::_exit(0);
  }
  char locked = 0;
  ASSERT_EQ(::read(fromWriter[0], &locked, 1), 1);
  ASSERT_EQ(locked, 'L');
  host::writeFileAtomically(dir.file("out.pdf"), "result");
  (void)!::write(toWriter[1], "x", 1);
  ::waitpid(writer, nullptr, 0);
  EXPECT_FALSE(fs::exists(dir.file(stale)));
  EXPECT_TRUE(fs::exists(dir.file(held)));
  EXPECT_TRUE(fs::exists(dir.file(fresh)));
  EXPECT_TRUE(fs::exists(dir.file(foreign))); // not ours
  EXPECT_EQ(test::readFile(dir.file("out.pdf")), "result");
  for (int fd : {toWriter[0], toWriter[1], fromWriter[0], fromWriter[1]})
    ::close(fd);
}

TEST(SafeWriting, APendingFileIsLockedUntilItIsInPlace) {
  test::TempDir dir;
  host::PendingFile file(dir.file("out.pdf"));
  file.write("half");
  const int fd = ::open(file.tempPath().c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  EXPECT_NE(::flock(fd, LOCK_EX | LOCK_NB), 0); // its writer holds it
  ::close(fd);
}

} // namespace
} // namespace sorvane
