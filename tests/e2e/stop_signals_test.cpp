// What a stop sent to the sorvane process does: every command ends as interrupted (130), a batch
// passes the stop on to its worker processes, and nothing is left half-written.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/fixture_helpers.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/raw_pdf.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const char *kSettings = R"({ "format": "sorvane-cabinet", "version": 1,
  "cabinet": { "BuildSettings": { "NumLevels": 1,
    "Level0": { "TextStyle": { "FontDesc": { "FontSize": 18.0,
                                             "Fonts": { "NumItems": 1, "0": "Helvetica-Bold" } } } }
  } } })";

// A sorvane process started by a test: its standard input a pipe the test keeps open, its
// output in files.
class Running {
public:
  Running(const test::TempDir &dir, const std::vector<std::string> &args)
      : m_out(dir.file("out.txt")), m_err(dir.file("err.txt")) {
    int fds[2];
    if (::pipe(fds) != 0)
      return;
    m_pid = ::fork();
    if (m_pid == 0) {
      ::dup2(fds[0], 0);
      ::close(fds[0]);
      ::close(fds[1]);
      std::freopen(m_out.c_str(), "w", stdout);
      std::freopen(m_err.c_str(), "w", stderr);
      std::vector<char *> argv{const_cast<char *>(SORVANE_BINARY)};
      for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
      argv.push_back(nullptr);
      ::execv(SORVANE_BINARY, argv.data());
      ::_exit(127);
    }
    ::close(fds[0]);
    m_stdin = fds[1];
  }
  ~Running() {
    if (m_stdin >= 0)
      ::close(m_stdin);
    if (m_pid > 0 && !m_reaped) {
      ::kill(m_pid, SIGKILL);
      ::waitpid(m_pid, nullptr, 0);
    }
  }
  pid_t pid() const { return m_pid; }
  std::string out() const { return test::readFile(m_out); }
  std::string err() const { return test::readFile(m_err); }
  // Waits up to `limit` for the process to end; its wait status, or nothing when it still runs
  // (then it is killed).
  std::optional<int> wait(std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      int status = 0;
      if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_reaped = true;
        return status;
      }
      std::this_thread::sleep_for(20ms);
    }
    return std::nullopt;
  }

private:
  std::string m_out, m_err;
  pid_t m_pid = -1;
  int m_stdin = -1;
  bool m_reaped = false;
};

std::vector<std::string> hiddenFiles(const fs::path &folder) {
  std::vector<std::string> names;
  for (const auto &entry : fs::recursive_directory_iterator(folder))
    if (entry.path().filename().string().front() == '.')
      names.push_back(entry.path().string());
  return names;
}

class StopSignals : public ::testing::TestWithParam<int> {};

TEST_P(StopSignals, ABatchInProcessesPassesTheStopOnAndSaysWhatItDid) {
  test::TempDir dir;
  // Documents long enough to be stopped in the middle: one page listed 200,000 times.
  const std::string bytes = test::pageTreePdf("200000", 200000);
  std::vector<std::string> args = {"batch",  "-s", dir.file("s.svb"), "--suffix", "-bm",
                                   "--jobs", "2"};
  for (int i = 0; i < 4; ++i) {
    test::writeFile(dir.file("d" + std::to_string(i) + ".pdf"), bytes);
    args.push_back(dir.file("d" + std::to_string(i) + ".pdf"));
  }
  test::writeFile(dir.file("s.svb"), kSettings);
  Running run(dir, args);
  ASSERT_GT(run.pid(), 0);
  std::this_thread::sleep_for(700ms); // the workers are on their first files
  ::kill(run.pid(), GetParam());      // to this process alone, not its group
  const auto status = run.wait(120s);
  ASSERT_TRUE(status) << "the batch did not stop";
  ASSERT_TRUE(WIFEXITED(*status)) << "ended by a signal instead of stopping: " << *status;
  EXPECT_EQ(WEXITSTATUS(*status), 130) << run.err();
  EXPECT_NE(run.err().find("interrupted after"), std::string::npos) << run.err();
  EXPECT_NE(run.out().find(" failed; "), std::string::npos) << run.out(); // the summary so far
  // Every file it wrote is whole; the unfinished ones were not written at all.
  size_t written = 0;
  for (int i = 0; i < 4; ++i)
    if (fs::exists(dir.file("d" + std::to_string(i) + "-bm.pdf"))) {
      ++written;
      EXPECT_EQ(test::qpdfCheck(dir.file("d" + std::to_string(i) + "-bm.pdf")), 0);
    }
  EXPECT_LT(written, 4u);
  EXPECT_TRUE(hiddenFiles(dir.path()).empty());
}

TEST_P(StopSignals, ACommandWaitingForItsInputEndsAsInterrupted) {
  // One command that stops gently (generate) and one that ends at once (settings edit), both
  // waiting for a dialog script on standard input.
  test::TempDir dir;
  test::PdfSpec spec = test::pages(1);
  test::writePdf(spec, dir.file("in.pdf"));
  for (const std::vector<std::string> &args :
       {std::vector<std::string>{"generate", dir.file("in.pdf"), "--dialog", "-", "-o",
                                 dir.file("out.pdf")},
        std::vector<std::string>{"settings", "edit", dir.file("s.svb"), "--dialog", "-"}}) {
    Running run(dir, args);
    ASSERT_GT(run.pid(), 0);
    std::this_thread::sleep_for(300ms);
    ::kill(run.pid(), GetParam());
    const auto status = run.wait(30s);
    ASSERT_TRUE(status) << args[0] << " did not stop";
    if (GetParam() == SIGINT && WIFSIGNALED(*status)) {
      EXPECT_EQ(WTERMSIG(*status), SIGINT); // Ctrl-C, as the shell expects it
    } else {
      ASSERT_TRUE(WIFEXITED(*status)) << args[0] << ": " << *status;
      EXPECT_EQ(WEXITSTATUS(*status), 130) << args[0] << ": " << run.err();
    }
    EXPECT_FALSE(fs::exists(dir.file("out.pdf")));
    EXPECT_FALSE(fs::exists(dir.file("s.svb")));
  }
}

std::string signalName(const ::testing::TestParamInfo<int> &param) {
  return strsignal(param.param);
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignals, ::testing::Values(SIGTERM, SIGHUP, SIGINT),
                         signalName);

} // namespace
} // namespace sorvane
