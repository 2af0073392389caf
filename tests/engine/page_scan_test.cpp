// How runs become lines and lines become headings.
#include "plugin/engine/bookmark_builder.h"
#include "plugin/engine/generation_run.h"

#include <gtest/gtest.h>

#include "plugin/rules/page_content.h"
#include "sdk/imported_tables.h"
#include "tests/support/fixture_helpers.h"
#include "tests/support/open_doc.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

test::TextSpec courier(std::string t, double x, double y, double size = 10,
                       std::string font = "Courier-Bold") {
  return test::textAt(std::move(t), x, y, size, std::move(font));
}

class PageScan : public ::testing::Test {
protected:
  // Scans one page holding `texts` with `b`; the titles found.
  std::vector<std::string> scan(BookmarkBuilder &b, std::vector<test::TextSpec> texts) {
    test::PdfSpec spec = test::pages(1);
    spec.pages[0].texts = std::move(texts);
    test::writePdf(spec, dir.file("p" + std::to_string(++m_count) + ".pdf"));
    test::OpenDoc doc(host, dir.file("p" + std::to_string(m_count) + ".pdf"));
    PageContent page(doc.handle(), 0);
    page.gatherRuns(std::nullopt);
    GenerationRun run(b);
    run.scanPage(page, 0);
    found = run.found();
    std::vector<std::string> titles;
    for (const BookmarkNode &n : found)
      titles.push_back(n.title);
    return titles;
  }

  test::TestHost host;
  test::TempDir dir;
  std::vector<BookmarkNode> found; // by the last scan
  int m_count = 0;
};

TEST_F(PageScan, TheFirstLevelWhoseTextRuleAcceptsTheLineWins) {
  BookmarkBuilder b;
  b.levels = {test::fontLevel("Courier-Bold", 14), test::fontLevel("Courier-Bold", 14)};
  b.levels[0].textMatchRule.query.pattern = "^Chapter";
  b.levels[0].textMatchRule.query.useRegExp = true;
  // (Body text between them: rows of one level in a row would join into one title.)
  scan(b, {courier("Chapter 1", 72, 700, 14), courier("body", 72, 650, 10, "Courier"),
           courier("Overview", 72, 600, 14)});
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].level, 0);
  EXPECT_EQ(found[1].level, 1);
}

TEST_F(PageScan, ABlankGoesBetweenRunsOnlyWhereTheGapShows) {
  BookmarkBuilder b;
  b.levels = {test::fontLevel("Courier-Bold", 10)};
  // "Chap" in 10-point Courier ends at 96.
  EXPECT_EQ(scan(b, {courier("Chap", 72, 700), courier("ter", 96.5, 700)}),
            (std::vector<std::string>{"Chapter"}));
  EXPECT_EQ(scan(b, {courier("Chap", 72, 700), courier("ter", 98, 700)}),
            (std::vector<std::string>{"Chap ter"}));
}

TEST_F(PageScan, ARunNoLevelAcceptsEndsTheLine) {
  BookmarkBuilder b;
  b.levels = {test::fontLevel("Courier-Bold", 10)};
  EXPECT_EQ(scan(b, {courier("Heading", 72, 700), courier("body", 120, 700, 10, "Courier"),
                     courier("Next", 160, 700)}),
            (std::vector<std::string>{"Heading", "Next"}));
}

TEST_F(PageScan, IndentationIsTestedOnTheFirstRunOfALine) {
  BookmarkBuilder b;
  b.levels = {test::fontLevel("Courier-Bold", 10)};
  b.levels[0].indentRule = IndentRule{true, 72, 5, 3};
  EXPECT_EQ(scan(b, {courier("Indented", 200, 700), courier("At margin", 72, 650)}),
            (std::vector<std::string>{"At margin"}));
}

TEST_F(PageScan, LeadingBlanksAreNotPartOfTheTitleOrItsBox) {
  BookmarkBuilder b;
  b.levels = {test::fontLevel("Courier-Bold", 10)};
  scan(b, {courier("   Heading", 72, 700)});
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].title, "Heading");
  EXPECT_NEAR(fixedToDouble(found[0].action.dest.rect.left), 90, 0.01);
}

TEST_F(PageScan, ALineOfControlsAndBlanksYieldsNothing) {
  BookmarkBuilder b;
  b.levels = {test::fontLevel("Courier-Bold", 10)};
  test::TextSpec controls = courier("", 72, 700);
  controls.showOperation = "(\\001\\002   \\011) Tj";
  EXPECT_TRUE(scan(b, {controls}).empty());
}

TEST_F(PageScan, StopWordsFollowTheirSwitches) {
  BookmarkBuilder b;
  b.levels = {test::fontLevel("Courier-Bold", 10)};
  b.ignoreStopWords = true;
  b.stopWords = {"Contents"};
  EXPECT_EQ(scan(b, {courier("Table of Contents", 72, 700), courier("body", 72, 680, 10, "Courier"),
                     courier("contents page", 72, 650)}),
            (std::vector<std::string>{"contents page"}));
}

} // namespace
} // namespace sorvane
