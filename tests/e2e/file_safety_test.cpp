// No command lets a result replace an input, or one result replace another.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/fixture_helpers.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/raw_pdf.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

namespace fs = std::filesystem;

const char *kSettings = R"({ "format": "sorvane-cabinet", "version": 1,
  "cabinet": { "BuildSettings": { "NumLevels": 1,
    "Level0": { "TextStyle": { "FontDesc": { "FontSize": 18.0,
                                             "Fonts": { "NumItems": 1, "0": "Helvetica-Bold" } } } }
  } } })";

class FileSafety : public ::testing::Test {
protected:
  void SetUp() override {
    test::PdfSpec spec = test::pages(2);
    spec.pages[0].texts = {test::textAt("Chapter", 72, 700, 18, "Helvetica-Bold")};
    spec.outline = {{"Cover", {}, test::ActionSpec::goTo(0), false, {}, 0, {}}};
    fs::create_directories(dir.path() / "a");
    fs::create_directories(dir.path() / "b");
    for (const char *name : {"book.pdf", "a/x.pdf", "b/x.pdf"})
      test::writePdf(spec, dir.file(name));
    test::writeFile(dir.file("s.svb"), kSettings);
    original = test::readFile(dir.file("book.pdf"));
  }
  test::TempDir dir;
  std::string original;
};

TEST_F(FileSafety, AResultNeverReplacesItsInput) {
  fs::create_symlink(dir.file("book.pdf"), dir.file("alias.pdf"));
  const std::vector<std::vector<std::string>> commands = {
      {"print", dir.file("book.pdf"), "--print-to", dir.file("book.pdf"), "--yes"},
      {"print", dir.file("book.pdf"), "--print-to", dir.file("alias.pdf"), "--yes"},
      {"generate", dir.file("book.pdf"), "-s", dir.file("s.svb"), "-o", dir.file("book.pdf")},
      {"delete-all", dir.file("book.pdf"), "--yes", "-o", dir.file("alias.pdf")},
  };
  for (const auto &args : commands) {
    const auto r = test::runSorvane(args);
    EXPECT_EQ(r.exitCode, 2) << args[0] << ": " << r.err;
    EXPECT_NE(r.err.find("is the input file"), std::string::npos) << r.err;
    EXPECT_EQ(test::readFile(dir.file("book.pdf")), original) << args[0];
  }
}

TEST_F(FileSafety, BatchRefusesResultsThatWouldMeetBeforeItStarts) {
  fs::create_directory(dir.path() / "out");
  const auto r = test::runSorvane({"batch", "-s", dir.file("s.svb"), "--output-dir",
                                   dir.file("out"), dir.file("a/x.pdf"), dir.file("b/x.pdf")});
  EXPECT_EQ(r.exitCode, 2) << r.err;
  EXPECT_NE(r.err.find("would both be written to"), std::string::npos) << r.err;
  EXPECT_TRUE(fs::is_empty(dir.path() / "out"));

  // A suffix that turns one input's name into another's.
  test::writeFile(dir.file("a/x-bm.pdf"), "the user's own file");
  const auto suffixed = test::runSorvane({"batch", "-s", dir.file("s.svb"), "--suffix", "-bm",
                                          dir.file("a/x.pdf"), dir.file("a/x-bm.pdf")});
  EXPECT_EQ(suffixed.exitCode, 2) << suffixed.err;
  EXPECT_EQ(test::readFile(dir.file("a/x-bm.pdf")), "the user's own file");

  // The same file twice, in place.
  const auto twice = test::runSorvane(
      {"batch", "-s", dir.file("s.svb"), "--in-place", dir.file("book.pdf"), dir.file("book.pdf")});
  EXPECT_EQ(twice.exitCode, 2) << twice.err;
  EXPECT_EQ(test::readFile(dir.file("book.pdf")), original);
}

TEST_F(FileSafety, ResultsGoOnlyIntoRegularFiles) {
  ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
  const auto r = test::runSorvane(
      {"generate", dir.file("book.pdf"), "-s", dir.file("s.svb"), "-o", dir.file("pipe")});
  EXPECT_EQ(r.exitCode, 4) << r.err;
  EXPECT_NE(r.err.find("not a regular file"), std::string::npos) << r.err;
  EXPECT_TRUE(fs::is_fifo(dir.file("pipe")));
}

TEST_F(FileSafety, CtrlCStopsARunAndWritesNothing) {
  // A document long enough to be stopped in the middle: one page listed 200,000 times.
  test::writeFile(dir.file("long.pdf"), test::pageTreePdf("200000", 200000));
  const std::string errFile = dir.file("err.txt");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::freopen(errFile.c_str(), "w", stderr);
    std::freopen("/dev/null", "w", stdout);
    ::execl(SORVANE_BINARY, SORVANE_BINARY, "generate", dir.file("long.pdf").c_str(), "-s",
            dir.file("s.svb").c_str(), "-o", dir.file("out.pdf").c_str(),
            static_cast<char *>(nullptr));
    ::_exit(127);
  }
  // Wait until the run is scanning, then interrupt it as Ctrl-C would.
  for (int i = 0; i < 200 && test::readFile(errFile).find("Scanning") == std::string::npos; ++i)
    ::usleep(20000);
  ::kill(child, SIGINT);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal instead of stopping";
  EXPECT_EQ(WEXITSTATUS(status), 130) << test::readFile(errFile);
  EXPECT_NE(test::readFile(errFile).find("interrupted; nothing was written"), std::string::npos)
      << test::readFile(errFile);
  EXPECT_FALSE(fs::exists(dir.file("out.pdf")));
  for (const auto &entry : fs::directory_iterator(dir.path()))
    EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
}

} // namespace
} // namespace sorvane
