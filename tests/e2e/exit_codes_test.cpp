// One table of exit codes for every command: each code a command can end with, checked.
#include <gtest/gtest.h>

#include "tests/support/fixture_helpers.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

class ExitCodes : public ::testing::Test {
protected:
  void SetUp() override {
    test::PdfSpec spec = test::pages(2);
    spec.pages[0].texts = {test::textAt("Chapter", 72, 700, 18, "Helvetica-Bold")};
    spec.outline = {{"Cover", {}, test::ActionSpec::goTo(0), false, {}, 0, {}}};
    test::writePdf(spec, pdf());
    test::writePdf(test::pages(1), dir.file("plain.pdf"));
    spec.encryption = test::EncryptionSpec{"", "owner", false};
    test::writePdf(spec, dir.file("locked.pdf"));
    test::writeFile(dir.file("notes.pdf"), "not a pdf");
    test::writeFile(settings(), R"({"format": "sorvane-cabinet", "version": 1,
      "cabinet": {"BuildSettings": {"NumLevels": 1, "Level0": {"TextStyle": {"FontDesc": {
        "FontSize": 18.0, "Fonts": {"NumItems": 1, "0": "Helvetica-Bold"}}}}}}})");
  }
  std::string pdf() const { return dir.file("book.pdf"); }
  std::string settings() const { return dir.file("s.svb"); }
  std::string out(const std::string &name) const { return dir.file(name); }
  std::string nowhere() const { return dir.file("no/such/folder/out.pdf"); }
  test::TempDir dir;
};

TEST_F(ExitCodes, EachCommandEndsWithTheCodeOfWhatHappened) {
  struct Case {
    int code;
    std::vector<std::string> args;
  };
  const Case cases[] = {
      // 0 done
      {0, {"generate", pdf(), "-s", settings(), "-o", out("g.pdf")}},
      {0, {"batch", "-s", settings(), "--suffix", "-bm", pdf()}},
      {0, {"settings", "show", settings()}},
      {0, {"settings", "new", out("new.svb")}},
      {0, {"print", pdf(), "--print-to", out("p.pdf"), "--yes"}},
      {0, {"delete-all", pdf(), "-o", out("d.pdf"), "--yes"}},
      {0, {"validate", pdf()}},
      {0, {"sort", pdf(), "-o", out("s.pdf")}},
      {0, {"list", pdf()}},
      {0, {"inspect", pdf()}},
      // 1 nothing found, problems found
      {1, {"generate", dir.file("plain.pdf"), "-s", settings(), "-o", out("g1.pdf")}},
      {1, {"batch", "-s", settings(), "--suffix", "-x", dir.file("plain.pdf")}},
      {1, {"print", dir.file("plain.pdf"), "--print-to", out("p1.pdf"), "--yes"}},
      {1, {"delete-all", dir.file("plain.pdf"), "-o", out("d1.pdf"), "--yes"}},
      {1, {"validate", dir.file("plain.pdf")}},
      {1, {"sort", dir.file("plain.pdf"), "-o", out("s1.pdf")}},
      // 2 usage
      {2, {"generate", pdf()}},
      {2, {"batch", pdf()}},
      {2, {"settings", "edit", settings()}},
      {2, {"print", pdf()}},
      {2, {"delete-all", pdf(), "-o", out("d2.pdf")}}, // not confirmed
      {2, {"validate", pdf(), pdf()}},
      {2, {"sort", pdf(), "--in-place", "--level", "0"}},
      {2, {"list", pdf(), "--nosuch"}},
      {2, {"inspect", pdf(), "--page", "0"}},
      {2, {"nosuch"}},
      // 3 input
      {3, {"generate", dir.file("notes.pdf"), "-s", settings(), "-o", out("g3.pdf")}},
      {3, {"generate", dir.file("locked.pdf"), "-s", settings(), "-o", out("g3.pdf")}},
      {3, {"settings", "show", dir.file("notes.pdf")}},
      {3, {"print", dir.file("notes.pdf"), "--print-to", out("p3.pdf"), "--yes"}},
      {3, {"delete-all", dir.file("locked.pdf"), "-o", out("d3.pdf"), "--yes"}},
      {3, {"validate", dir.file("notes.pdf")}},
      {3, {"sort", dir.file("locked.pdf"), "-o", out("s3.pdf")}},
      {3, {"list", dir.file("notes.pdf")}},
      {3, {"inspect", dir.file("none.pdf")}},
      // 4 output
      {4, {"generate", pdf(), "-s", settings(), "-o", nowhere()}},
      {4, {"batch", "-s", settings(), "--output-dir", dir.file("notes.pdf"), pdf()}},
      {4, {"settings", "new", nowhere()}},
      {4, {"print", pdf(), "--print-to", nowhere(), "--yes"}},
      {4, {"delete-all", pdf(), "-o", nowhere(), "--yes"}},
      {4, {"sort", pdf(), "-o", nowhere()}},
  };
  for (const Case &c : cases) {
    const auto r = test::runSorvane(c.args);
    std::string line;
    for (const std::string &a : c.args)
      line += a + " ";
    EXPECT_EQ(r.exitCode, c.code) << line << "\n" << r.err;
    if (c.code != 0) {
      EXPECT_NE(r.err.find("sorvane: "), std::string::npos) << line << "\n" << r.err;
    }
  }
}

} // namespace
} // namespace sorvane
