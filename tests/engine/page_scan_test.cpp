// How runs become lines and lines become headings.
#include "plugin/engine/bookmark_builder.h"
#include "plugin/engine/generation_run.h"
#include "plugin/engine/kept_text.h"

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

class PageScanBase : public ::testing::Test {
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

class PageScan : public PageScanBase {};

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

namespace sorvane {
namespace {

// The rows of a heading join while a reader would read them as one; they stop where a new
// paragraph or another heading begins.
class Joining : public PageScanBase {};

TEST_F(Joining, AWrappedHeadingJoinsItsRows) {
  BookmarkBuilder b;
  b.levels = {test::fontLevel("Courier-Bold", 14)};
  EXPECT_EQ(scan(b, {courier("Automated", 72, 700, 14), courier("association", 72, 684, 14)}),
            (std::vector<std::string>{"Automated association"}));
}

TEST_F(Joining, AGapTallerThanTheLineEndsIt) {
  BookmarkBuilder b;
  b.levels = {test::fontLevel("Courier-Bold", 14)};
  // 44 points apart: two headings, not one.
  EXPECT_EQ(scan(b, {courier("Overview", 72, 700, 14), courier("Details", 72, 656, 14)}),
            (std::vector<std::string>{"Overview", "Details"}));
}

TEST_F(Joining, ADeeperHeadingOnTheNextRowIsNotGluedOn) {
  BookmarkBuilder b;
  b.levels = {test::fontLevel("Courier-Bold", 12), test::fontLevel("Courier-Bold", 12),
              test::fontLevel("Courier-Bold", 12)};
  b.levels[0].textMatchRule.query.pattern = "^[0-9]+\\.[0-9]+\\.[0-9]+ ";
  b.levels[1].textMatchRule.query.pattern = "^[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+ ";
  b.levels[2].textMatchRule.query.pattern = "^[0-9]+(\\.[0-9]+){4} ";
  for (LevelRule &l : b.levels)
    l.textMatchRule.query.useRegExp = true;
  scan(b, {courier("6.8.2 Association", 72, 700, 12),
           courier("6.8.2.1 Automated association", 72, 686, 12),
           courier("6.8.2.1.1 Without barcode", 72, 672, 12)});
  std::vector<std::pair<std::string, int>> got;
  for (const BookmarkNode &n : found)
    got.emplace_back(n.title, n.level);
  EXPECT_EQ(got, (std::vector<std::pair<std::string, int>>{{"6.8.2 Association", 0},
                                                           {"6.8.2.1 Automated association", 1},
                                                           {"6.8.2.1.1 Without barcode", 2}}));
}

TEST_F(Joining, ALevelThatTakesMoreRowsLeavesTheOthersTheirHeadings) {
  // Level 1 (one row) and level 2 (many rows) share the font; level 2 wants a lower-case
  // start. The level-1 heading must not be swallowed by a level-2 title running on.
  BookmarkBuilder b;
  b.levels = {test::fontLevel("Courier-Bold", 12), test::fontLevel("Courier-Bold", 12)};
  b.levels[0].textMatchRule.multilineTitles = false;
  b.levels[0].textMatchRule.query.pattern = "^[A-Z]";
  b.levels[0].textMatchRule.query.useRegExp = true;
  EXPECT_EQ(scan(b, {courier("Installing", 72, 700, 12), courier("the tools", 72, 686, 12),
                     courier("body", 72, 600, 10, "Courier")}),
            (std::vector<std::string>{"Installing", "the tools"}));
  EXPECT_EQ(found[0].level, 0);
}

TEST_F(Joining, SubsetPrefixesAreIgnoredOnRequest) {
  BookmarkBuilder b;
  b.levels = {test::fontLevel("Courier-Bold", 12)};
  const std::vector<test::TextSpec> texts = {courier("One", 72, 700, 12, "ECEDAZ+Courier-Bold"),
                                             courier("x", 72, 650, 10, "Courier"),
                                             courier("Two", 72, 600, 12, "QKZHEU+Courier-Bold")};
  EXPECT_TRUE(scan(b, texts).empty()); // exact names, as stored files had them
  b.levels[0].textStyleRule.ignoreSubsetPrefix = true;
  EXPECT_EQ(scan(b, texts), (std::vector<std::string>{"One", "Two"}));
  // The rule's own name may carry a prefix of another file.
  b.levels[0].textStyleRule.fontDesc.fonts = {
      hostTables().core->atomFromString("ABCDEF+Courier-Bold")};
  EXPECT_EQ(scan(b, texts), (std::vector<std::string>{"One", "Two"}));
  EXPECT_EQ(withoutSubsetPrefix(std::string_view("ABCDEF+CMBX12")), "CMBX12");
  EXPECT_EQ(withoutSubsetPrefix(std::string_view("ABCDE+CMBX12")), "ABCDE+CMBX12");
  EXPECT_EQ(withoutSubsetPrefix(std::string_view("AbCDEF+CMBX12")), "AbCDEF+CMBX12");
  EXPECT_EQ(withoutSubsetPrefix(std::string_view("ABCDEF+")), "ABCDEF+");
}

// Runs in another font or size inside a heading's row: a code word, a logo's raised letter.
class InlineRuns : public PageScanBase {
protected:
  BookmarkBuilder level(double size, bool inlineRuns = true) {
    BookmarkBuilder b;
    b.levels = {test::fontLevel("Courier-Bold", size)};
    b.levels[0].textMatchRule.inlineRuns = inlineRuns;
    return b;
  }
  // "Version for fooBar and baz" in 14-point Courier-Bold (8.4 pt a letter), the code words in
  // Courier, a word space (4.2 pt) apart.
  static std::vector<test::TextSpec> codeWords() {
    return {courier("Version for", 72, 700, 14), courier("fooBar", 168.6, 700, 14, "Courier"),
            courier("and", 223.2, 700, 14), courier("baz", 252.6, 700, 14, "Courier"),
            courier("The body starts below.", 72, 660, 10, "Courier")};
  }
};

TEST_F(InlineRuns, CodeWordsInsideAndAtTheEndOfTheRowStayInTheTitle) {
  BookmarkBuilder b = level(14);
  EXPECT_EQ(scan(b, codeWords()), (std::vector<std::string>{"Version for fooBar and baz"}));
  // A file that does not ask for it: every other font ends the title, as before.
  b.levels[0].textMatchRule.inlineRuns = false;
  EXPECT_EQ(scan(b, codeWords()), (std::vector<std::string>{"Version for", "and"}));
}

TEST_F(InlineRuns, ATitleCutAtAnotherFontLeavesTheBracketItOpensOut) {
  // "\\csdef{<name>}": the entry's name, then its argument in another font.
  BookmarkBuilder b = level(10, false);
  EXPECT_EQ(scan(b, {courier("\\csdef{", 72, 700), courier("name", 114, 700, 10, "Courier"),
                     courier("\\f(x)", 72, 650), courier("(y)", 108, 650, 10, "Courier"),
                     courier("Options [", 72, 600), courier("all", 126, 600, 10, "Courier"),
                     courier("operator<", 72, 550), courier("T", 132, 550, 10, "Courier")}),
            (std::vector<std::string>{"\\csdef", "\\f(x)", "Options", "operator<"}));
}

TEST_F(InlineRuns, ALogosRaisedSmallLetterStaysInTheTitle) {
  BookmarkBuilder b = level(14);
  // "L" ends at 189.6; the raised 10-point "A" is kerned into it; "TeX" follows.
  EXPECT_EQ(scan(b, {courier("5.1 Standard L", 72, 700, 14), courier("A", 187, 703, 10),
                     courier("TeX", 193, 700, 14), courier("body", 72, 660, 10, "Courier")}),
            (std::vector<std::string>{"5.1 Standard LATeX"}));
}

TEST_F(InlineRuns, ATrailingVersionStaysButAParagraphOnTheHeadingsRowDoesNot) {
  BookmarkBuilder b = level(14);
  EXPECT_EQ(
      scan(b, {courier("C.1 caption", 72, 700, 14), courier("v3.1", 168.6, 700, 14, "Courier"),
               courier("Body text follows.", 72, 670, 10, "Courier")}),
      (std::vector<std::string>{"C.1 caption v3.1"}));
  // A run-in heading: its paragraph starts on its row and runs on.
  BookmarkBuilder runIn = level(10);
  EXPECT_EQ(scan(runIn, {courier("Heading.", 72, 700, 10),
                         courier("This paragraph starts on the row", 126, 700, 10, "Courier")}),
            (std::vector<std::string>{"Heading."}));
  // Two words only, but an em away: a paragraph, not part of the title.
  EXPECT_EQ(scan(runIn,
                 {courier("Heading.", 72, 700, 10), courier("See below", 130, 700, 10, "Courier")}),
            (std::vector<std::string>{"Heading."}));
  // Two words a word space away, but the next row goes on in their style: a paragraph.
  EXPECT_EQ(
      scan(runIn, {courier("Heading", 72, 700, 10), courier("The text", 120, 700, 10, "Courier"),
                   courier("goes on here.", 72, 688, 10, "Courier")}),
      (std::vector<std::string>{"Heading"}));
}

TEST_F(InlineRuns, LearningsReducedPagesScanAsTheWholePage) {
  // Rule learning scans a choice of each page's runs; with inline runs the choice must keep
  // what the scan reads past a run in another font.
  BookmarkBuilder b = level(14);
  std::vector<test::TextSpec> texts = codeWords();
  texts.push_back(courier("Heading", 72, 600, 14));
  texts.push_back(courier("and a paragraph that starts on its row", 135, 600, 14, "Courier"));
  texts.push_back(courier("Two", 72, 560, 14));
  texts.push_back(courier("words", 101.4, 560, 14, "Courier"));
  texts.push_back(courier("Run-in", 72, 520, 14));
  texts.push_back(courier("The text", 127.6, 520, 14, "Courier"));
  for (const char *row : {"goes on in its style", "for rows and rows and rows", "and ends"})
    texts.push_back(courier(row, 72, 600 - 10 * double(texts.size()), 14, "Courier"));
  const std::vector<std::string> whole = scan(b, texts);
  EXPECT_EQ(whole, (std::vector<std::string>{"Version for fooBar and baz", "Heading", "Two words",
                                             "Run-in"}));
  test::OpenDoc doc(host, dir.file("p" + std::to_string(m_count) + ".pdf"));
  const KeptText kept = KeptText::read(doc.handle());
  std::vector<bool> takes(kept.fonts.size());
  for (size_t f = 0; f < kept.fonts.size(); ++f)
    takes[f] = hostTables().core->atomGetString(kept.fonts[f]) == "Courier-Bold";
  const std::vector<uint32_t> chosen = kept.runsFor(0, takes, true);
  EXPECT_LT(chosen.size(), kept.pages[0].runs.size());
  GenerationRun run(b);
  run.scanRuns(KeptPageView(kept.pages[0], chosen), 0);
  std::vector<std::string> titles;
  for (const BookmarkNode &n : run.found())
    titles.push_back(n.title);
  EXPECT_EQ(titles, whole);
}

} // namespace
} // namespace sorvane
