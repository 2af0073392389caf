// `sorvane delete-all` on fixture PDFs.
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
  EXPECT_NE(r.err.find("Total numbers of pages printed: 4"), std::string::npos) << r.err;
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

  // A document that may be printed but not changed prints.
  spec.encryption = test::EncryptionSpec{"", "owner", false};
  test::writePdf(spec, dir.file("noedit.pdf"));
  const auto printed =
      test::runSorvane({"print", dir.file("noedit.pdf"), "--print-to", dir.file("q.pdf"), "--yes"});
  EXPECT_EQ(printed.exitCode, 0) << printed.err;
  EXPECT_EQ(test::inspectPdf(dir.file("q.pdf")).pageCount, 1);
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
