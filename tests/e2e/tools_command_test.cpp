// `sorvane delete-all` on fixture PDFs.
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

#include "tests/support/pdf_builder.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

class DeleteAll : public ::testing::Test {
protected:
  std::string make(std::optional<test::EncryptionSpec> encryption = {}) {
    test::PdfSpec spec = test::pages(2);
    spec.outline = {{"A",
                     {},
                     test::ActionSpec::goTo(0),
                     false,
                     {},
                     0,
                     {{"A1", {}, test::ActionSpec::goTo(1), false, {}, 0, {}}}},
                    {"B", {}, test::ActionSpec::goTo(1), false, {}, 0, {}}};
    spec.encryption = encryption;
    test::writePdf(spec, dir.file("in.pdf"));
    return dir.file("in.pdf");
  }
  test::TempDir dir;
};

TEST_F(DeleteAll, RemovesEveryBookmarkOnceConfirmed) {
  const std::string in = make();
  const auto r = test::runSorvane({"delete-all", in, "-o", dir.file("out.pdf"), "--yes"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Bookmarks deleted: 3"), std::string::npos) << r.err;
  EXPECT_EQ(test::qpdfCheck(dir.file("out.pdf")), 0);
  EXPECT_TRUE(test::inspectPdf(dir.file("out.pdf")).outline.empty());
  EXPECT_EQ(test::inspectPdf(in).outline.size(), 2u);
}

TEST_F(DeleteAll, WithoutAnAnswerNothingIsDeletedOrWritten) {
  const std::string in = make();
  const auto r = test::runSorvane({"delete-all", in, "-o", dir.file("out.pdf")});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("not confirmed"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir.file("out.pdf")));
}

TEST_F(DeleteAll, ADocumentThatMayNotBeChangedIsLeftAlone) {
  const std::string in = make(test::EncryptionSpec{"", "owner", false});
  const auto r = test::runSorvane({"delete-all", in, "--in-place", "--yes"});
  EXPECT_EQ(r.exitCode, 3); // as for generate: the input forbids the change
  EXPECT_NE(r.err.find("security settings do not permit changes"), std::string::npos) << r.err;
  EXPECT_EQ(test::inspectPdf(in).outline.size(), 2u);
  // The owner may.
  const auto owner =
      test::runSorvane({"delete-all", in, "--in-place", "--yes", "--password", "owner"});
  EXPECT_EQ(owner.exitCode, 0) << owner.err;
}

} // namespace
} // namespace sorvane

namespace sorvane {
namespace {

TEST(PrintCommand, PrintsTheBookmarkedPagesInOutlineOrderWithRepeats) {
  test::TempDir dir;
  test::PdfSpec spec = test::pages(5);
  for (int i = 0; i < 5; ++i) {
    test::TextSpec t;
    t.text = "Page " + std::to_string(i + 1);
    spec.pages[size_t(i)].texts = {t};
  }
  spec.outline = {
      {"Third",
       {},
       test::ActionSpec::goTo(2),
       false,
       {},
       0,
       {{"First", {}, test::ActionSpec::goTo(0), false, {}, 0, {}}}},
      {"Web", {}, test::ActionSpec::uriTo("https://example.org"), false, {}, 0, {}},
      {"Script", {}, test::ActionSpec::javaScript("this.pageNum = 4;"), false, {}, 0, {}},
      {"Third again", {}, test::ActionSpec::goTo(2), false, {}, 0, {}}};
  test::writePdf(spec, dir.file("in.pdf"));
  const auto r =
      test::runSorvane({"print", dir.file("in.pdf"), "--print-to", dir.file("p.pdf"), "--yes"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  // The count is told once, with where the pages went.
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("Pages printed: 4 -> " + dir.file("p.pdf")), std::string::npos) << r.out;
  EXPECT_EQ(test::qpdfCheck(dir.file("p.pdf")), 0);
  EXPECT_EQ(test::inspectPdf(dir.file("p.pdf")).pageCount, 4);
  const auto refused =
      test::runSorvane({"print", dir.file("in.pdf"), "--print-to", dir.file("q.pdf")});
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_FALSE(std::filesystem::exists(dir.file("q.pdf")));
  EXPECT_EQ(test::runSorvane({"print", dir.file("in.pdf")}).exitCode, 2);
}

TEST(PrintCommand, HonoursThePermissionToPrintAndNotTheOneToEdit) {
  test::TempDir dir;
  test::PdfSpec spec = test::pages(2);
  spec.outline = {{"A", {}, test::ActionSpec::goTo(1), false, {}, 0, {}}};
  test::EncryptionSpec noPrint{"", "owner", true};
  noPrint.allowPrint = false;
  spec.encryption = noPrint;
  test::writePdf(spec, dir.file("noprint.pdf"));
  const auto refused = test::runSorvane(
      {"print", dir.file("noprint.pdf"), "--print-to", dir.file("p.pdf"), "--yes"});
  EXPECT_EQ(refused.exitCode, 3) << refused.err;
  EXPECT_NE(refused.err.find("do not permit printing"), std::string::npos) << refused.err;
  EXPECT_FALSE(std::filesystem::exists(dir.file("p.pdf")));
  const auto owner = test::runSorvane({"print", dir.file("noprint.pdf"), "--print-to",
                                       dir.file("p.pdf"), "--yes", "--password", "owner"});
  EXPECT_EQ(owner.exitCode, 0) << owner.err;

  // Like every command, printing needs the permission to change the document too.
  spec.encryption = test::EncryptionSpec{"", "owner", false};
  test::writePdf(spec, dir.file("noedit.pdf"));
  const auto noEdit =
      test::runSorvane({"print", dir.file("noedit.pdf"), "--print-to", dir.file("q.pdf"), "--yes"});
  EXPECT_EQ(noEdit.exitCode, 3) << noEdit.err;
  EXPECT_NE(noEdit.err.find("do not permit changes"), std::string::npos) << noEdit.err;
  EXPECT_FALSE(std::filesystem::exists(dir.file("q.pdf")));
  const auto printed = test::runSorvane({"print", dir.file("noedit.pdf"), "--print-to",
                                         dir.file("q.pdf"), "--yes", "--password", "owner"});
  EXPECT_EQ(printed.exitCode, 0) << printed.err;
  EXPECT_EQ(test::inspectPdf(dir.file("q.pdf")).pageCount, 1);
}

// A queue that does not take the pages, or no print command at all: the failure is told, and
// no count of printed pages before it.
TEST(PrintCommand, AQueueThatRefusesThePagesIsAFailureToldAsSuch) {
  test::TempDir dir;
  test::PdfSpec spec = test::pages(2);
  spec.outline = {{"A", {}, test::ActionSpec::goTo(1), false, {}, 0, {}}};
  test::writePdf(spec, dir.file("in.pdf"));
  // A stand-in for lp that refuses every queue, and a PATH without any lp.
  std::filesystem::create_directories(dir.file("bin"));
  test::writeFile(dir.file("bin/lp"),
                  "#!/bin/sh\necho \"lp: The printer or class does not exist.\" >&2\nexit 1\n");
  std::filesystem::permissions(dir.file("bin/lp"), std::filesystem::perms::owner_all);
  std::filesystem::create_directories(dir.file("empty"));
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  for (const std::string &path : {dir.file("bin"), dir.file("empty")}) {
    setenv("PATH", path.c_str(), 1); // the run inherits it
    const auto r =
        test::runSorvane({"print", dir.file("in.pdf"), "--printer", "nosuchqueue", "--yes"});
    setenv("PATH", oldPath.c_str(), 1);
    EXPECT_EQ(r.exitCode, 4) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.find("pages printed"), std::string::npos) << r.err; // no count before it
    const bool noLp = path == dir.file("empty");
    EXPECT_NE(r.err.find(noLp ? "nothing was printed: the print command 'lp' is not installed"
                              : "nothing was printed: the print queue 'nosuchqueue' did not take "
                                "the pages"),
              std::string::npos)
        << r.err;
  }
}

TEST(PrintCommand, NothingToPrintIsNoSuccess) {
  test::TempDir dir;
  test::writePdf(test::pages(1), dir.file("plain.pdf"));
  const auto r =
      test::runSorvane({"print", dir.file("plain.pdf"), "--print-to", dir.file("p.pdf"), "--yes"});
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_NE(r.err.find("nothing was printed"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir.file("p.pdf")));
}

} // namespace
} // namespace sorvane
