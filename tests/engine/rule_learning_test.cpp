// Learning level rules from an outline: headings found on their pages (label rows, run-in
// entries), rule sets judged by the page scan itself, and what cannot be learned told.
#include "plugin/engine/rule_learning.h"

#include <gtest/gtest.h>

#include "plugin/engine/kept_text.h"
#include "sdk/imported_tables.h"
#include "tests/support/fixture_helpers.h"
#include "tests/support/open_doc.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

using test::textAt;

class RuleLearning : public ::testing::Test {
protected:
  // Writes `spec`, reads its text and learns from `marks`.
  LearnResult learn(const test::PdfSpec &spec, const std::vector<OutlineMark> &marks) {
    const std::string path = dir.file("doc" + std::to_string(++m_count) + ".pdf");
    test::writePdf(spec, path);
    doc = std::make_unique<test::OpenDoc>(host, path);
    text = KeptText::read(doc->handle());
    return learnRules(text, marks);
  }

  // Body lines of a page, from `top` down.
  static void body(std::vector<test::TextSpec> &texts, double top, int lines) {
    for (int i = 0; i < lines; ++i)
      texts.push_back(textAt("Body text of the manual, line " + std::to_string(i) + ".", 72,
                             top - 14 * i, 10, "Times-Roman"));
  }

  test::TestHost host;
  test::TempDir dir;
  std::unique_ptr<test::OpenDoc> doc;
  KeptText text;
  int m_count = 0;
};

TEST_F(RuleLearning, TitlesCompareAsReadersReadThem) {
  EXPECT_EQ(comparableTitle("2.1  De\xEF\xAC\x81ning   Styles"), "defining styles"); // "ﬁ"
  EXPECT_EQ(comparableTitle("A.3 Options"), "options");
  EXPECT_EQ(comparableTitle("A.3 Options", false), "a.3 options");
  EXPECT_EQ(comparableTitle("\xE2\x80\x98Quoted\xE2\x80\x99 \xE2\x80\x93 non-regular"),
            "'quoted' nonregular");
  EXPECT_EQ(comparableTitle("``TeX'' quotes"), "\"tex\" quotes");
  EXPECT_EQ(comparableTitle("glp_create_prob"), "glp create prob"); // underscores drawn as rules
  EXPECT_EQ(comparableTitle("3D graphics"), "3d graphics");
}

// Chapters set as a label row ("Chapter 2", 14 pt) over the title (20 pt), sections at 12 pt:
// the chapter level takes the title's size only, so the sections keep theirs.
TEST_F(RuleLearning, ALabelRowInAnotherSizeStaysOutOfTheChapterRule) {
  test::PdfSpec spec = test::pages(4);
  std::vector<OutlineMark> marks;
  const char *chapters[] = {"Introduction", "Installation", "Configuration", "Reference"};
  for (int c = 0; c < 4; ++c) {
    auto &t = spec.pages[size_t(c)].texts;
    t.push_back(textAt("Chapter " + std::to_string(c + 1), 72, 740, 14, "Helvetica"));
    t.push_back(textAt(chapters[c], 72, 710, 20, "Helvetica-Bold"));
    marks.push_back({1, chapters[c], c});
    for (int s = 1; s <= 2; ++s) {
      const std::string name = "Part " + std::string(1, char('A' + s - 1)) + " of " + chapters[c];
      t.push_back(textAt(std::to_string(c + 1) + "." + std::to_string(s) + " " + name, 72,
                         680 - 200 * (s - 1), 12, "Helvetica-Bold"));
      marks.push_back({2, name, c});
      body(t, 660 - 200 * (s - 1), 8);
    }
  }
  const LearnResult r = learn(spec, marks);
  ASSERT_EQ(r.settings.levels.size(), 2u);
  EXPECT_NEAR(r.settings.levels[0].textStyleRule.fontDesc.fontSize, 20, 0.01);
  EXPECT_LE(r.settings.levels[0].textStyleRule.tolerance, 0.5);
  EXPECT_EQ(r.reproduction.matched, 12);
  EXPECT_EQ(r.reproduction.atDepth, 12);
  EXPECT_TRUE(r.reproduction.extra.empty());
  EXPECT_EQ(r.settings.insertType, int32_t(InsertType::Replace));
}

// A reference manual: each entry's name starts a row in a bold mono face, its description goes
// on in the body face on the same row. The bookmarks are the names.
TEST_F(RuleLearning, RunInEntriesAreFoundAtTheStartOfTheirRows) {
  test::PdfSpec spec = test::pages(3);
  std::vector<OutlineMark> marks;
  const char *names[] = {"abs", "acos", "apply", "array", "attach", "basename"};
  for (int e = 0; e < 6; ++e) {
    auto &t = spec.pages[size_t(e / 2)].texts;
    const double y = 700 - 300 * (e % 2);
    t.push_back(textAt(names[e], 72, y, 10, "Courier-Bold"));
    t.push_back(
        textAt("computes what its name says, for every element.", 120, y, 10, "Times-Roman"));
    body(t, y - 20, 10);
    t.push_back(textAt("x <- " + std::string(names[e]) + "(1)", 90, y - 180, 10, "Courier"));
    marks.push_back({1, names[e], e / 2});
  }
  const LearnResult r = learn(spec, marks);
  ASSERT_EQ(r.levels.size(), 1u);
  EXPECT_EQ(r.levels[0].runIn, 6);
  EXPECT_EQ(r.reproduction.matched, 6);
  EXPECT_TRUE(r.reproduction.extra.empty());
}

// Lines in a heading's style that are no bookmark: a repeated "See also" becomes a stop word,
// an unnumbered chapter style shared with numbered sections is told apart by a pattern.
TEST_F(RuleLearning, LinesInAHeadingsStyleThatAreNoBookmarkAreKeptOut) {
  test::PdfSpec spec = test::pages(3);
  std::vector<OutlineMark> marks;
  const char *chapters[] = {"Getting Started", "Going Further", "Looking Back"};
  for (int c = 0; c < 3; ++c) {
    auto &t = spec.pages[size_t(c)].texts;
    t.push_back(textAt(chapters[c], 72, 720, 14, "Helvetica-Bold"));
    marks.push_back({1, chapters[c], c});
    for (int s = 1; s <= 2; ++s) {
      const double y = 680 - 250 * (s - 1);
      const std::string name =
          std::string(s == 1 ? "Basics" : "Details") + " of chapter " + std::to_string(c + 1);
      t.push_back(textAt(std::to_string(c + 1) + "." + std::to_string(s) + " " + name, 72, y, 14,
                         "Helvetica-Bold"));
      marks.push_back({2, name, c});
      body(t, y - 20, 6);
      t.push_back(textAt("See also", 72, y - 120, 14, "Helvetica-Bold"));
      body(t, y - 140, 3);
    }
  }
  const LearnResult r = learn(spec, marks);
  EXPECT_EQ(r.reproduction.matched, 9);
  EXPECT_EQ(r.reproduction.atDepth, 9);
  EXPECT_TRUE(r.reproduction.extra.empty()) << r.reproduction.extra.front().title;
  ASSERT_EQ(r.settings.levels.size(), 2u);
  // the sections' numbers are on the page, not in the outline
  EXPECT_EQ(r.settings.levels[1].contentFormat.leadingNumbers, int32_t(LeadingNumbers::Remove));
}

// What the learned rules are judged by is what generation makes with them.
TEST_F(RuleLearning, TheRulesAreJudgedByWhatGenerationMakes) {
  test::PdfSpec spec = test::pages(2);
  std::vector<OutlineMark> marks;
  for (int c = 0; c < 2; ++c) {
    auto &t = spec.pages[size_t(c)].texts;
    t.push_back(textAt(std::to_string(c + 1) + " Chapter title that is long enough to go", 72, 720,
                       16, "Helvetica-Bold"));
    t.push_back(textAt("on to a second row", 72, 700, 16, "Helvetica-Bold"));
    marks.push_back({1, "Chapter title that is long enough to go on to a second row", c});
    body(t, 670, 10);
    t.push_back(textAt("Summary", 72, 400, 16, "Helvetica-Bold")); // not in the outline
  }
  const LearnResult r = learn(spec, marks);
  ASSERT_FALSE(r.settings.levels.empty());
  EXPECT_TRUE(r.settings.levels[0].textMatchRule.multilineTitles);
  bool overflow = false;
  const auto simulated = simulateGeneration(r.settings, text, 100, overflow);
  const RunOutcome generated = r.settings.generate(doc->handle());
  ASSERT_EQ(simulated.size(), generated.headings.size());
  for (size_t i = 0; i < simulated.size(); ++i) {
    EXPECT_EQ(simulated[i].title, generated.headings[i].title);
    EXPECT_EQ(simulated[i].page, generated.headings[i].page);
  }
  EXPECT_EQ(r.reproduction.matched, 2);
}

// Rules that cannot tell the headings from the body text make far more bookmarks than the
// outline has: the result says so.
TEST_F(RuleLearning, HeadingsSetLikeTheBodyAreTold) {
  test::PdfSpec spec = test::pages(4);
  std::vector<OutlineMark> marks;
  for (int p = 0; p < 4; ++p) {
    for (int i = 0; i < 40; ++i)
      spec.pages[size_t(p)].texts.push_back(
          textAt("Line " + std::to_string(i) + " of page " + std::to_string(p + 1) + ".", 72,
                 720 - 14 * i, 10, "Times-Roman"));
    marks.push_back({1, "Line 3 of page " + std::to_string(p + 1) + ".", p});
  }
  const LearnResult r = learn(spec, marks);
  EXPECT_TRUE(r.runaway || r.reproduction.made > 2 * r.reproduction.expected)
      << r.reproduction.made;
}

TEST_F(RuleLearning, NothingFoundLearnsNothing) {
  test::PdfSpec spec = test::pages(1);
  body(spec.pages[0].texts, 720, 5);
  const LearnResult r = learn(spec, {{1, "Not on the page", 0}, {1, "No page", -1}});
  EXPECT_TRUE(r.settings.levels.empty());
  EXPECT_EQ(r.located, 0);
  EXPECT_TRUE(learn(spec, {}).settings.levels.empty());
}

} // namespace
} // namespace sorvane
