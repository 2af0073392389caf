// Commands on outlines that cannot be walked whole (nested too deep, a loop): each says what it
// left out, and its counts say what it did.
#include <gtest/gtest.h>

#include <filesystem>

#include <nlohmann/json.hpp>

#include "tests/support/pdf_builder.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

class DamagedOutline : public ::testing::Test {
protected:
  // A chain of `depth` bookmarks, one below the other, each leading to page 1.
  std::string deepOutline(int depth) {
    test::PdfSpec fixture = test::pages(1);
    fixture.chainDepth = depth;
    fixture.chainPage = 0;
    test::writePdf(fixture, dir.file("deep.pdf"));
    return dir.file("deep.pdf");
  }
  // Bookmarks A, B and C leading to pages 1 to 3, damaged as `damage` says.
  std::string damagedOutline(test::OutlineDamage damage) {
    test::PdfSpec fixture = test::pages(3);
    for (int i = 0; i < 3; ++i)
      fixture.outline.push_back(
          {std::string(1, char('A' + i)), {}, test::ActionSpec::goTo(i), false, {}, 0, {}});
    fixture.damage = damage;
    const std::string path = dir.file("damaged" + std::to_string(int(damage)) + ".pdf");
    test::writePdf(fixture, path);
    return path;
  }
  static size_t countAll(const std::vector<test::InspectedBookmark> &list) {
    size_t n = list.size();
    for (const test::InspectedBookmark &b : list)
      n += countAll(b.children);
    return n;
  }
  test::TempDir dir;
};

TEST_F(DamagedOutline, ValidateReportsBookmarksNestedTooDeepToCheck) {
  const std::string in = deepOutline(300);
  const auto r = test::runSorvane({"validate", in});
  EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
  EXPECT_EQ(r.out.find("No errors found"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(">Level 256\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("The bookmarks below this one are nested deeper than 256 levels and were "
                       "not checked."),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("Total bookmarks processed: 256; bookmarks with problems: 1"),
            std::string::npos)
      << r.out;
  const auto json = test::runSorvane({"validate", in, "--json"});
  EXPECT_EQ(json.exitCode, 1);
  EXPECT_EQ(nlohmann::json::parse(json.out)["problems"].size(), 1u) << json.out;
}

TEST_F(DamagedOutline, ValidateReportsALoopItCouldNotCheckPast) {
  const std::pair<test::OutlineDamage, std::string> cases[] = {
      {test::OutlineDamage::NextLoop, "The next bookmark leads back to \"A\" (a loop)"},
      {test::OutlineDamage::FirstBackUp, "The first child leads back to \"A\" (a loop)"},
      {test::OutlineDamage::RootFirstIsRoot,
       "The first child leads back to the outline root (a loop)"},
  };
  for (const auto &[damage, message] : cases) {
    const auto r = test::runSorvane({"validate", damagedOutline(damage)});
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_EQ(r.out.find("No errors found"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(message), std::string::npos) << r.out;
  }
}

TEST_F(DamagedOutline, SortSaysWhatItCouldNotReachAndWritesNothing) {
  const std::string deep = deepOutline(300);
  const auto tooDeep = test::runSorvane({"sort", deep, "-o", dir.file("sorted.pdf")});
  EXPECT_NE(tooDeep.exitCode, 0) << tooDeep.out << tooDeep.err;
  EXPECT_NE(tooDeep.err.find("nested deeper than 256 levels"), std::string::npos) << tooDeep.err;
  EXPECT_FALSE(std::filesystem::exists(dir.file("sorted.pdf")));
  const auto loop = test::runSorvane(
      {"sort", damagedOutline(test::OutlineDamage::NextLoop), "-o", dir.file("sorted.pdf")});
  EXPECT_NE(loop.exitCode, 0) << loop.out << loop.err;
  EXPECT_NE(loop.err.find("(a loop)"), std::string::npos) << loop.err;
  EXPECT_FALSE(std::filesystem::exists(dir.file("sorted.pdf")));
  // A whole outline sorts as before.
  const auto whole = test::runSorvane({"sort", deepOutline(256), "-o", dir.file("sorted.pdf")});
  EXPECT_EQ(whole.exitCode, 0) << whole.err;
}

TEST_F(DamagedOutline, ValidateOfAWholeOutlineStillFindsNoErrors) {
  const auto r = test::runSorvane({"validate", deepOutline(256)});
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("No errors found"), std::string::npos) << r.out;
}

TEST_F(DamagedOutline, DeleteAllCountsTheBookmarksItRemoved) {
  struct Case {
    std::string in;
    size_t bookmarks;
  };
  const Case cases[] = {{deepOutline(300), 300},
                        {damagedOutline(test::OutlineDamage::NextLoop), 3},
                        {damagedOutline(test::OutlineDamage::FirstBackUp), 3}};
  for (const Case &c : cases) {
    ASSERT_EQ(countAll(test::inspectPdf(c.in).outline), c.bookmarks) << c.in;
    const std::string out = dir.file("out.pdf");
    const auto r = test::runSorvane({"delete-all", c.in, "-o", out, "--yes"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Bookmarks deleted: " + std::to_string(c.bookmarks) + "\n"),
              std::string::npos)
        << c.in << ": " << r.out;
    EXPECT_EQ(countAll(test::inspectPdf(out).outline), 0u) << c.in;
  }
}

TEST_F(DamagedOutline, PrintSaysWhichBookmarksItLeftOut) {
  const auto r =
      test::runSorvane({"print", deepOutline(300), "--print-to", dir.file("p.pdf"), "--yes"});
  // The pages it reached are printed; the exit code says some were not.
  ASSERT_EQ(r.exitCode, 1) << r.err;
  EXPECT_TRUE(std::filesystem::exists(dir.file("p.pdf")));
  EXPECT_NE(r.err.find("The bookmarks below \"Level 256\" are nested deeper than 256 levels; "
                       "they were left out. Their pages were not printed."),
            std::string::npos)
      << r.err;
  const auto loop = test::runSorvane({"print", damagedOutline(test::OutlineDamage::NextLoop),
                                      "--print-to", dir.file("q.pdf"), "--yes"});
  ASSERT_EQ(loop.exitCode, 1) << loop.err;
  EXPECT_NE(loop.err.find("leads back to \"A\" (a loop)"), std::string::npos) << loop.err;
}

TEST_F(DamagedOutline, LearnSaysWhichBookmarksItLeftOut) {
  const auto r = test::runSorvane({"learn", deepOutline(300), "-o", dir.file("r.svb")});
  EXPECT_NE(r.err.find("warning: " + dir.file("deep.pdf") +
                       ": The outline is nested deeper than 256 levels; the 44 deeper bookmarks "
                       "are left out."),
            std::string::npos)
      << r.err;
}

TEST_F(DamagedOutline, AWholeOutlineGivesNoWarnings) {
  const auto print =
      test::runSorvane({"print", deepOutline(256), "--print-to", dir.file("p.pdf"), "--yes"});
  ASSERT_EQ(print.exitCode, 0) << print.err;
  EXPECT_EQ(print.err, "");
  const auto learn = test::runSorvane({"learn", dir.file("deep.pdf"), "-o", dir.file("r.svb")});
  EXPECT_EQ(learn.err.find("warning"), std::string::npos) << learn.err;
}

} // namespace
} // namespace sorvane
