// Table-of-contents lines: found by the page number standing apart at their end, never a real
// heading that ends in a number.
#include "plugin/engine/bookmark_builder.h"
#include "plugin/engine/contents_lines.h"
#include "plugin/engine/generation_run.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "plugin/rules/page_content.h"
#include "tests/support/fixture_helpers.h"
#include "tests/support/open_doc.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

using Texts = std::vector<test::TextSpec>;
using Titles = std::vector<std::string>;

test::TextSpec bold(std::string t, double x, double y) {
  return test::textAt(std::move(t), x, y, 12, "Helvetica-Bold");
}
test::TextSpec plain(std::string t, double x, double y) {
  return test::textAt(std::move(t), x, y, 12, "Helvetica");
}

class ContentsLines : public ::testing::Test {
protected:
  // The headings found on a page holding `texts`, with contents lines skipped or not; the
  // contents lines dropped go to `dropped`.
  Titles scan(const Texts &texts, bool skip = true, bool multiline = false) {
    BookmarkBuilder b;
    b.levels = {test::fontLevel("Helvetica-Bold", 12)};
    b.levels[0].textMatchRule.multilineTitles = multiline;
    b.skipContentsLines = skip;
    test::PdfSpec spec = test::pages(1);
    spec.pages[0].texts = texts;
    const std::string path = dir.file("p" + std::to_string(++m_count) + ".pdf");
    test::writePdf(spec, path);
    test::OpenDoc doc(host, path);
    PageContent page(doc.handle(), 0);
    page.gatherRuns(std::nullopt);
    GenerationRun run(b);
    run.scanPage(page, 0);
    dropped.clear();
    for (const DroppedHeading &d : run.outcome().dropped)
      if (d.reason == DropReason::ContentsLine)
        dropped.push_back(d.title);
    found = run.found();
    Titles titles;
    for (const BookmarkNode &n : found)
      titles.push_back(n.title);
    return titles;
  }
  // Three entries, each "title", something between, "number".
  static Texts entries(const std::vector<std::pair<std::string, std::string>> &titleAndNumber,
                       const std::string &between, double numberX) {
    Texts out;
    double y = 700;
    for (const auto &[title, number] : titleAndNumber) {
      out.push_back(bold(title, 72, y));
      if (!between.empty())
        out.push_back(plain(between, 200, y));
      out.push_back(bold(number, numberX, y));
      y -= 20;
    }
    return out;
  }

  test::TestHost host;
  test::TempDir dir;
  Titles dropped;
  std::vector<BookmarkNode> found;
  int m_count = 0;
};

TEST_F(ContentsLines, EntriesAfterDotLeadersAreNoHeadings) {
  const Texts toc = entries({{"1 Introduction", "1"}, {"2 Usage", "5"}, {"3 Reference", "12"}},
                            ". . . . . . . . . . . .", 500);
  EXPECT_EQ(scan(toc), Titles{});
  EXPECT_EQ(dropped, (Titles{"1 Introduction", "1", "2 Usage", "5", "3 Reference", "12"}));
  // Off (as stored files without the key read): the lines are headings, as before.
  EXPECT_EQ(scan(toc, false).size(), 6u);
}

TEST_F(ContentsLines, EntriesWithAWideGapOrRomanNumbersToo) {
  EXPECT_EQ(scan(entries({{"Preface", "iii"}, {"Foreword", "v"}, {"Thanks", "ix"}}, "", 500)),
            Titles{});
  EXPECT_EQ(scan(entries({{"Alpha", "7"}, {"Beta", "19"}, {"Gamma", "231"}}, "", 480)), Titles{});
  // Leaders inside the entry's own run.
  EXPECT_EQ(scan({bold("Alpha ........ 7", 72, 700), bold("Beta ......... 19", 72, 680),
                  bold("Gamma ........ 23", 72, 660)}),
            Titles{});
}

TEST_F(ContentsLines, AnEntryThatWrapsIsOneContentsLine) {
  Texts toc = entries({{"1 Introduction", "1"}, {"2 Usage", "5"}}, ". . . . . . . .", 500);
  toc.push_back(bold("3 A reference chapter whose title", 72, 660));
  toc.push_back(bold("wraps onto a second row", 72, 646));
  toc.push_back(plain(". . . . . .", 250, 646));
  toc.push_back(bold("12", 500, 646));
  // The two rows join into one title (the level takes more rows), which ends on a row with a
  // page number: one contents line.
  EXPECT_EQ(scan(toc, true, true), Titles{});
  EXPECT_TRUE(std::any_of(dropped.begin(), dropped.end(), [](const std::string &d) {
    return d.find("3 A reference chapter whose title wraps onto a second row") != std::string::npos;
  })) << ::testing::PrintToString(dropped);
}

// A page whose lines are numbered in the right margin: every row ends in a number standing
// apart, the numbers in one column, but they count the lines: the headings on it stay.
TEST_F(ContentsLines, LineNumbersAreNoPageNumbers) {
  Texts page;
  for (int i = 0; i < 14; ++i) {
    const double y = 700 - 16 * i;
    if (i == 4 || i == 10)
      page.push_back(bold(i == 4 ? "2 Method" : "3 Results", 72, y));
    else
      page.push_back(plain("a row of the body text, row " + std::to_string(i), 72, y));
    page.push_back(plain(std::to_string(i + 1), 520, y));
  }
  EXPECT_EQ(scan(page), (Titles{"2 Method", "3 Results"})) << ::testing::PrintToString(dropped);
  EXPECT_TRUE(dropped.empty());
  // contents of one-page chapters count up by one too, but after dot leaders: still contents
  Texts contents;
  for (int i = 0; i < 6; ++i) {
    contents.push_back(bold("Chapter " + std::to_string(i + 1), 72, 700 - 16 * i));
    contents.push_back(plain(". . . . . . .", 200, 700 - 16 * i));
    contents.push_back(bold(std::to_string(i + 1), 520, 700 - 16 * i));
  }
  EXPECT_TRUE(scan(contents).empty());
  EXPECT_GE(dropped.size(), 6u);
}

TEST_F(ContentsLines, HeadingsThatEndInANumberStay) {
  // Alone on their page, or without a gap or leaders before the number.
  EXPECT_EQ(scan({bold("Chapter 3", 72, 700), plain("body text", 72, 650)}), (Titles{"Chapter 3"}));
  EXPECT_EQ(scan({bold("Version 2.12", 72, 700), plain("body", 72, 680),
                  bold("Appendix B 2", 72, 640), plain("body", 72, 620)}),
            (Titles{"Version 2.12", "Appendix B 2"}));
  // A changelog: many "Version N" headings, left-aligned, nothing between title and number.
  Texts changelog;
  for (int i = 0; i < 6; ++i) {
    changelog.push_back(bold("Version " + std::to_string(10 - i), 72, 700 - 60 * i));
    changelog.push_back(plain("Fixed a bug.", 72, 680 - 60 * i));
  }
  EXPECT_EQ(scan(changelog).size(), 6u);
  // A lonely entry with leaders is not a table of contents.
  EXPECT_EQ(scan({bold("Summary", 72, 700), plain(". . . . . .", 200, 700), bold("3", 500, 700)}),
            (Titles{"Summary", "3"}));
  EXPECT_TRUE(dropped.empty());
}

// Looking for contents rows reads every run of the page first, and the scan then takes those
// runs as they were read: it must find what it finds reading them one by one.
TEST_F(ContentsLines, TheScanFindsTheSameWhetherContentsRowsReadTheRunsFirst) {
  const Texts page = {bold("   1 Introduction", 72, 700),
                      plain("  body text", 72, 680),
                      plain("   ", 72, 660),
                      bold("2 Usage", 72, 640),
                      plain("more", 72, 620),
                      bold("  3 Reference", 90, 580),
                      plain("text", 72, 560)};
  scan(page, false);
  const std::vector<BookmarkNode> oneByOne = found;
  EXPECT_EQ(scan(page, true), (Titles{"1 Introduction", "2 Usage", "3 Reference"}));
  ASSERT_EQ(found.size(), oneByOne.size());
  for (size_t i = 0; i < found.size(); ++i) {
    SCOPED_TRACE(found[i].title);
    EXPECT_EQ(found[i].title, oneByOne[i].title);
    // The line starts where its first character is drawn, leading blanks left out.
    EXPECT_EQ(found[i].source.left, oneByOne[i].source.left);
    EXPECT_EQ(found[i].source.right, oneByOne[i].source.right);
    EXPECT_EQ(found[i].source.bottom, oneByOne[i].source.bottom);
    EXPECT_EQ(found[i].source.top, oneByOne[i].source.top);
  }
  EXPECT_GT(found[0].source.left, 72.5);
  EXPECT_GT(found[2].source.left, 90.5);
}

} // namespace
} // namespace sorvane

namespace sorvane {
namespace {

TextRun runAt(std::string text, double left, double right, double bottom, double top, double size) {
  TextRun r;
  r.text = std::move(text);
  r.box = {fixedFromDouble(left), fixedFromDouble(top), fixedFromDouble(right),
           fixedFromDouble(bottom)};
  r.fontSize = size;
  r.valid = true;
  return r;
}

// Some producers set a tiny no-break space between the leader and the page number.
TEST(ContentsRowsOfRuns, ANoBreakSpaceBeforeTheNumberIsABlank) {
  std::vector<TextRun> runs;
  for (int i = 0; i < 3; ++i) {
    const double bottom = 700 - 18 * i, top = bottom + 14;
    runs.push_back(runAt("Chapter " + std::to_string(i + 1), 48, 156, bottom, top, 10.5));
    runs.push_back(runAt(". . . . . . . . . . . . ", 161, 540.5, bottom, top, 10.5));
    runs.push_back(runAt("\xC2\xA0", 540.5, 541.2, bottom + 2.3, bottom + 5.9, 2.6));
    runs.push_back(runAt(std::to_string(3 + i), 541.2, 547, bottom, top, 10.5));
  }
  const ContentsRows rows(runs);
  EXPECT_EQ(rows.count(), 3u);
  EXPECT_TRUE(rows.endsContentsRow(runs[3].box));
}

// Contents in two columns whose rows share their lines: each column's entry is a row of its own,
// and a title short enough to leave only two leader dots is still one.
TEST(ContentsRowsOfRuns, TwoColumnsOnOneLineAreTwoRows) {
  std::vector<TextRun> runs;
  for (int i = 0; i < 3; ++i) {
    const double bottom = 700 - 15 * i, top = bottom + 10;
    runs.push_back(runAt("2." + std::to_string(i + 1) + " Section", 144, 200, bottom, top, 10));
    runs.push_back(runAt(i == 2 ? ". ." : ". . . . .", 283, 296, bottom, top, 10));
    runs.push_back(runAt(std::to_string(3 + i), 309, 314, bottom, top, 10));
    runs.push_back(runAt("3." + std::to_string(i + 1) + " Other", 353, 420, bottom, top, 10));
    runs.push_back(runAt(". . . . .", 450, 500, bottom, top, 10));
    runs.push_back(runAt(std::to_string(10 + i), 512, 522, bottom, top, 10));
  }
  const ContentsRows rows(runs);
  EXPECT_EQ(rows.count(), 6u);
  EXPECT_TRUE(rows.endsContentsRow(runs[2].box));
  EXPECT_TRUE(rows.endsContentsRow(runs[14].box)); // the short title's row
  EXPECT_TRUE(rows.endsContentsRow(runs[5].box));
  EXPECT_FALSE(rows.endsContentsRow(runAt("body", 144, 200, 600, 610, 10).box));
}

} // namespace
} // namespace sorvane
