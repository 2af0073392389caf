// Learning level rules from an outline: headings found on their pages (label rows, run-in
// entries), rule sets judged by the page scan itself, and what cannot be learned told.
#include "plugin/engine/rule_learning.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "plugin/engine/contents_reading.h"
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

  // A reference manual's entry at `y`: its name in a code face at the left, its description in
  // italics on the same row, body text, and a line of code that starts with its name at
  // `codeLeft`.
  static void entry(std::vector<test::TextSpec> &texts, const std::string &name, double y,
                    double codeLeft) {
    texts.push_back(textAt(name, 80, y, 10, "Courier"));
    texts.push_back(textAt("Compute What The Name Says", 200, y, 10, "Times-Italic"));
    body(texts, y - 20, 8);
    texts.push_back(textAt(name + "(x, y)", codeLeft, y - 140, 10, "Courier"));
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
  // An outline that runs a section number into its title, against the heading's blank
  EXPECT_EQ(comparableTitle("1.1Sample Production"), comparableTitle("1.1 Sample Production"));
  EXPECT_EQ(comparableTitle("2.10.3Summary"), "summary");
  EXPECT_EQ(comparableTitle("1st steps"), "1st steps");
  // a label and its number, as the heading has it and the contents leave it out
  const auto unlabelled = [](const char *t) { return comparableTitle(t, true, true); };
  EXPECT_EQ(unlabelled("Chapter 1. Introduction"), unlabelled("1. Introduction"));
  EXPECT_EQ(unlabelled("Part IV: Tools"), "tools");
  EXPECT_EQ(unlabelled("Appendix B Glossary"), "glossary");
  EXPECT_EQ(unlabelled("Part of the system"), "part of the system");
  EXPECT_EQ(unlabelled("Chapter 2"), "chapter 2"); // a label alone stays
  EXPECT_EQ(comparableTitle("Appendix B Glossary"), "appendix b glossary");
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

// Small capitals faked in two sizes of the body font: "1.1 S" at 10 pt, "TOCK PAPER SIZES" at
// 8 pt. The level spans both sizes, so that the titles are whole.
TEST_F(RuleLearning, AHeadingSetInTwoSizesOfOneFontIsTakenWhole) {
  test::PdfSpec spec = test::pages(4);
  std::vector<OutlineMark> marks;
  const char *titles[] = {"Stock paper sizes", "Page layout", "Running heads", "Margin notes"};
  const double capitalWidth[] = {5.56, 5.56, 6.67, 8.89}; // Times-Roman S, P, R, M at 10 pt
  for (int h = 0; h < 4; ++h) {
    auto &t = spec.pages[size_t(h)].texts;
    std::string rest = titles[h] + 1;
    std::transform(rest.begin(), rest.end(), rest.begin(),
                   [](char c) { return char(std::toupper(static_cast<unsigned char>(c))); });
    t.push_back(textAt("1." + std::to_string(h + 1), 72, 700, 10, "Times-Roman"));
    t.push_back(textAt(std::string(1, titles[h][0]), 96, 700, 10, "Times-Roman"));
    t.push_back(textAt(rest, 96 + capitalWidth[h], 700, 8, "Times-Roman"));
    body(t, 680, 12);
    marks.push_back({1, titles[h], h});
  }
  const LearnResult r = learn(spec, marks);
  ASSERT_EQ(r.settings.levels.size(), 1u) << r.reproduction.f1();
  const TextStyleRule &style = r.settings.levels[0].textStyleRule;
  EXPECT_LE(style.fontDesc.fontSize - style.tolerance, 8.0) << r.levels[0].takes;
  EXPECT_EQ(r.reproduction.matched, 4) << r.levels[0].takes;
  EXPECT_TRUE(r.reproduction.extra.empty()) << r.levels[0].takes;
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

// A reference manual's running head repeats an entry's name ("7  apply") on the page the entry
// starts at the top of, and names the entry going on on the others: the name reads there as a
// whole row, while every entry's own heading is the start of its row. Each title is taken where
// its depth's titles are set, not where it happens to fill a row.
TEST_F(RuleLearning, ARunningHeadThatRepeatsSomeTitlesIsNotTakenForTheirHeadings) {
  test::PdfSpec spec = test::pages(6);
  std::vector<OutlineMark> marks;
  const char *names[] = {"abs", "acos", "apply", "array"};
  for (int e = 0; e < 4; ++e) {
    // entries of a page and a half: every other one starts at the top of a page
    const int page = e * 3 / 2;
    entry(spec.pages[size_t(page)].texts, names[e], e % 2 ? 400 : 700, 90);
    marks.push_back({1, names[e], page});
  }
  for (int p = 0; p < 6; ++p) {
    auto &t = spec.pages[size_t(p)].texts;
    const int entry = p * 2 / 3; // the entry going on at the page's top
    t.push_back(textAt(std::to_string(p + 1), 72, 760, 10, "Times-Roman"));
    t.push_back(textAt(names[entry], 90, 760, 10, "Times-Italic"));
  }
  const LearnResult r = learn(spec, marks);
  ASSERT_EQ(r.levels.size(), 1u);
  EXPECT_EQ(r.levels[0].runIn, 4);
  EXPECT_EQ(r.reproduction.matched, 4);
  EXPECT_TRUE(r.reproduction.extra.empty()) << r.levels[0].takes;
}

// Most entries' names start their rows at one left edge; two bookmarks' titles read on their
// page only in lines of code further in (their heading is not on the page). The level takes that
// one edge, not the range over all of them, which would take the code rows in between too.
TEST_F(RuleLearning, TitlesFoundAwayFromTheirDepthsLeftEdgeDoNotWidenIt) {
  test::PdfSpec spec = test::pages(4);
  std::vector<OutlineMark> marks;
  const char *names[] = {"abs", "acos", "apply", "array", "attach", "basename"};
  for (int e = 0; e < 6; ++e) {
    entry(spec.pages[size_t(e / 2)].texts, names[e], 700 - 300 * (e % 2), 95);
    marks.push_back({1, names[e], e / 2});
  }
  auto &last = spec.pages[3].texts;
  body(last, 700, 8);
  for (const char *word : {"Memory", "Limits"}) {
    last.push_back(textAt(word, 110, word[0] == 'M' ? 540 : 520, 10, "Courier"));
    marks.push_back({1, word, 3});
  }
  const LearnResult r = learn(spec, marks);
  ASSERT_EQ(r.levels.size(), 1u);
  const IndentRule &indent = r.settings.levels[0].indentRule;
  ASSERT_TRUE(indent.enabled) << r.levels[0].takes;
  EXPECT_NEAR(indent.leftIndent, 80, 0.5);
  EXPECT_LE(indent.tolerance, 2.0);
  EXPECT_EQ(r.reproduction.matched, 6);
  EXPECT_TRUE(r.reproduction.extra.empty()) << r.levels[0].takes;
}

// Entries set in the margin, right-aligned there (their left edges far apart), while the same
// face starts rows of the body text too (a code word at a line's start): the level takes the
// margin only.
TEST_F(RuleLearning, EntriesInTheMarginAreToldFromCodeInTheText) {
  test::PdfSpec spec = test::pages(3);
  std::vector<OutlineMark> marks;
  const char *names[] = {"\\csdef",         "\\protected@csedef", "\\cslet",
                         "\\AtEndPreamble", "\\gundef",           "\\listcsadd"};
  const char *codes[] = {"\\def", "\\gdef", "\\edef", "\\xdef", "\\let", "\\relax"};
  for (int e = 0; e < 6; ++e) {
    auto &t = spec.pages[size_t(e / 2)].texts;
    const double y = 700 - 300 * (e % 2);
    const std::string name = names[e];
    const double width = 6.0 * double(name.size()); // Courier: 0.6 em a letter
    t.push_back(textAt(name, 138 - width - 12, y, 10, "Courier"));
    t.push_back(textAt("{", 138 - 12, y, 10, "Courier")); // (the brace set apart, as TeX does)
    t.push_back(textAt("name", 138 - 6, y, 10, "Times-Italic"));
    t.push_back(
        textAt("defines what its name says, for every element.", 156, y, 10, "Times-Roman"));
    body(t, y - 20, 6);
    t.push_back(textAt(codes[e], 150, y - 150, 10, "Courier"));
    t.push_back(textAt("is the primitive it stands on, as the text says.", 190, y - 150, 10,
                       "Times-Roman"));
    marks.push_back({1, name, e / 2});
  }
  const LearnResult r = learn(spec, marks);
  ASSERT_EQ(r.levels.size(), 1u);
  EXPECT_EQ(r.reproduction.matched, 6);
  EXPECT_TRUE(r.reproduction.extra.empty()) << r.reproduction.extra.size();
  EXPECT_TRUE(r.settings.levels[0].indentRule.enabled) << r.levels[0].takes;
}

// A code font used all through the body text, and in one heading: the level leaves it out (it
// would take every row of code in the text).
TEST_F(RuleLearning, FontsFewHeadingsUseAndTheBodyFontStayOutOfALevel) {
  test::PdfSpec spec = test::pages(8);
  std::vector<OutlineMark> marks;
  for (int p = 0; p < 8; ++p) {
    auto &t = spec.pages[size_t(p)].texts;
    const std::string name = "Section about topic " + std::to_string(p + 1);
    t.push_back(textAt(name, 72, 720, 12, "Helvetica-Bold"));
    if (p == 0) // "Section about topic 1 grep": a code word in the title
      t.push_back(textAt("grep", 250, 720, 12, "Courier"));
    marks.push_back({1, p == 0 ? name + " grep" : name, p});
    for (int i = 0; i < 8; ++i) { // code, at the titles' left edge
      t.push_back(textAt("Body text of the section, row " + std::to_string(i), 72, 690 - 28 * i, 12,
                         "Times-Roman"));
      t.push_back(
          textAt("call(" + std::to_string(10 * p + i) + ");", 72, 676 - 28 * i, 12, "Courier"));
    }
  }
  const LearnResult r = learn(spec, marks);
  ASSERT_EQ(r.settings.levels.size(), 1u);
  const auto &fonts = r.settings.levels[0].textStyleRule.fontDesc.fonts;
  ASSERT_EQ(fonts.size(), 1u);
  EXPECT_EQ(fonts[0], hostTables().core->atomFromString("Helvetica-Bold"));
  // the one title with a code word is cut at it: the price of leaving code out
  EXPECT_LE(r.reproduction.extra.size(), 1u);
  EXPECT_EQ(r.reproduction.matched, 7);
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

namespace sorvane {
namespace {

// A manual with a contents page: a title page, the contents (a roman-numbered preface, chapters
// and indented sections, one title on two rows), then the chapters from printed page 1 on the
// third page.
test::PdfSpec manualWithContents() {
  test::PdfSpec spec = test::pages(5);
  auto &c = spec.pages[1].texts;
  c.push_back(textAt("Contents", 72, 740, 18, "Helvetica-Bold"));
  struct Row {
    const char *text;
    double left;
    const char *number; // nothing: the title goes on in the next row
  };
  const Row rows[] = {{"Preface", 72, "iii"},
                      {"1 Introduction", 72, "1"},
                      {"1.1 Scope of this manual", 90, "1"},
                      {"1.2 A title that is long and goes on", 90, nullptr},
                      {"to a second row", 90, "2"},
                      {"2 Installation", 72, "3"},
                      {"2.1 Requirements", 90, "3"}};
  double y = 700;
  for (const Row &r : rows) {
    c.push_back(textAt(r.text, r.left, y, 11, "Times-Roman"));
    if (r.number)
      c.push_back(textAt(r.number, 500, y, 11, "Times-Roman"));
    y -= 14;
  }
  auto heading = [&](int page, const std::string &text, double top, double size) {
    spec.pages[size_t(page)].texts.push_back(textAt(text, 72, top, size, "Helvetica-Bold"));
  };
  heading(2, "1 Introduction", 720, 18);
  heading(2, "1.1 Scope of this manual", 600, 14);
  heading(3, "1.2 A title that is long and goes on to a second row", 720, 14);
  heading(4, "2 Installation", 720, 18);
  heading(4, "2.1 Requirements", 600, 14);
  for (int p = 2; p < 5; ++p)
    for (int i = 0; i < 6; ++i)
      spec.pages[size_t(p)].texts.push_back(textAt("Body text, line " + std::to_string(i) + ".", 72,
                                                   680 - 12 * i, 10, "Times-Roman"));
  return spec;
}

TEST_F(RuleLearning, APrintedTableOfContentsReadsAsAnOutline) {
  const test::PdfSpec spec = manualWithContents();
  const std::string path = dir.file("contents.pdf");
  test::writePdf(spec, path);
  test::OpenDoc opened(host, path);
  const KeptText kept = KeptText::read(opened.handle());
  const ContentsOutline contents = readContents(kept);
  ASSERT_EQ(contents.contentsPages, std::vector<int32_t>{1});
  ASSERT_EQ(contents.entries.size(), 6u);
  EXPECT_EQ(contents.entries[0].printed, -1); // "iii": front matter
  EXPECT_EQ(contents.entries[3].title, "1.2 A title that is long and goes on to a second row");
  EXPECT_EQ(contents.offset, 1); // printed page 1 is the third page
  EXPECT_EQ(contents.placed, 5);
  ASSERT_EQ(contents.marks.size(), 5u);
  const std::vector<int32_t> depths = {contents.marks[0].depth, contents.marks[1].depth,
                                       contents.marks[2].depth, contents.marks[3].depth,
                                       contents.marks[4].depth};
  EXPECT_EQ(depths, (std::vector<int32_t>{1, 2, 2, 1, 2}));
  EXPECT_EQ(contents.marks[2].page, 3);

  const LearnResult r = learnRules(kept, contents.marks);
  EXPECT_EQ(r.reproduction.matched, 5);
  EXPECT_TRUE(r.reproduction.extra.empty()) << r.reproduction.extra.front().title;

  // Contents that list only the chapters: the numbered sections on their pages join them.
  test::PdfSpec chapters = spec;
  auto &rows = chapters.pages[1].texts;
  rows.erase(std::remove_if(rows.begin(), rows.end(),
                            [](const test::TextSpec &t) { return t.x > 80 && t.x < 100; }),
             rows.end());
  for (test::TextSpec &t : rows)
    if (t.text == "2" && t.x > 400)
      t.text = "1"; // (the row of the removed two-row title's number)
  // running heads that repeat a section's title, smaller than its heading, once with the page
  // number after it and the section number written "1.1."
  for (int page = 2; page < 5; ++page) {
    chapters.pages[size_t(page)].texts.push_back(
        textAt("1.1 Scope of this manual", 72, 770, 9, "Times-Italic"));
    chapters.pages[size_t(page)].texts.push_back(
        textAt("1.1. Scope of this manual " + std::to_string(page - 1), 72, 785, 9, "Times-Roman"));
  }
  rows.push_back(test::textAt("3 Reference", 72, 500, 11, "Times-Roman"));
  rows.push_back(test::textAt("4", 500, 500, 11, "Times-Roman"));
  test::writePdf(chapters, dir.file("chapters.pdf"));
  test::OpenDoc third(host, dir.file("chapters.pdf"));
  const ContentsOutline fewer = readContents(KeptText::read(third.handle()));
  std::vector<std::string> sections;
  for (const OutlineMark &m : fewer.marks)
    if (m.depth == 2)
      sections.push_back(m.title);
  EXPECT_EQ(sections,
            (std::vector<std::string>{"1.1 Scope of this manual",
                                      "1.2 A title that is long and goes on to a second row",
                                      "2.1 Requirements"}));

  // Contents not brought up to date: the second chapter moved a page up; a heading set on two
  // rows that the contents list on one.
  test::PdfSpec stale = spec;
  for (int page : {3, 4})
    stale.pages[size_t(page)].texts.erase(
        std::remove_if(stale.pages[size_t(page)].texts.begin(),
                       stale.pages[size_t(page)].texts.end(),
                       [](const test::TextSpec &t) { return t.font == "Helvetica-Bold"; }),
        stale.pages[size_t(page)].texts.end());
  stale.pages[3].texts.push_back(
      textAt("1.2 A title that is long and goes on", 72, 720, 14, "Helvetica-Bold"));
  stale.pages[3].texts.push_back(textAt("to a second row", 72, 702, 14, "Helvetica-Bold"));
  stale.pages[3].texts.push_back(textAt("2 Installation", 72, 400, 18, "Helvetica-Bold"));
  stale.pages[3].texts.push_back(textAt("2.1 Requirements", 72, 300, 14, "Helvetica-Bold"));
  test::writePdf(stale, dir.file("stale.pdf"));
  test::OpenDoc fifth(host, dir.file("stale.pdf"));
  const ContentsOutline moved = readContents(KeptText::read(fifth.handle()));
  EXPECT_EQ(moved.placed, 5);
  EXPECT_EQ(moved.moved, 2);
  ASSERT_EQ(moved.marks.size(), 5u);
  EXPECT_EQ(moved.marks[2].page, 3);
  EXPECT_EQ(moved.marks[3].page, 3); // "2 Installation", printed 3 (the fifth page)

  // Front matter numbered in roman goes to its pages by an offset of its own.
  test::PdfSpec preface = spec;
  preface.pages.insert(preface.pages.begin() + 2, test::PageSpec{});
  preface.pages[2].texts.push_back(textAt("Preface", 72, 720, 18, "Helvetica-Bold"));
  // and the heading carries a label the contents leave out
  for (test::TextSpec &t : preface.pages[3].texts)
    if (t.text == "1 Introduction")
      t.text = "Chapter 1 Introduction";
  test::writePdf(preface, dir.file("preface.pdf"));
  test::OpenDoc sixth(host, dir.file("preface.pdf"));
  const ContentsOutline front = readContents(KeptText::read(sixth.handle()));
  ASSERT_EQ(front.marks.size(), 6u);
  EXPECT_EQ(front.marks[0].title, "Preface");
  EXPECT_EQ(front.marks[0].page, 2);
  EXPECT_EQ(front.marks[1].page, 3); // printed page 1
  EXPECT_EQ(front.marks[1].title, "Chapter 1 Introduction");
  EXPECT_EQ(front.placed, 6);

  // An index at the end, its entries set like contents rows, is not read as contents.
  test::PdfSpec indexed = spec;
  for (int i = 0; i < 4; ++i) {
    indexed.pages[4].texts.push_back(
        textAt("index term " + std::to_string(i), 72, 300 - 14 * i, 9, "Times-Roman"));
    indexed.pages[4].texts.push_back(
        textAt(std::to_string(i + 1), 300, 300 - 14 * i, 9, "Times-Roman"));
  }
  test::writePdf(indexed, dir.file("indexed.pdf"));
  test::OpenDoc fourth(host, dir.file("indexed.pdf"));
  const ContentsOutline withIndex = readContents(KeptText::read(fourth.handle()));
  EXPECT_EQ(withIndex.contentsPages, std::vector<int32_t>{1});
  EXPECT_EQ(withIndex.entries.size(), 6u);

  // Without contents pages there is nothing to read.
  test::PdfSpec plain = spec;
  plain.pages[1].texts.clear();
  test::writePdf(plain, dir.file("plain.pdf"));
  test::OpenDoc other(host, dir.file("plain.pdf"));
  const ContentsOutline none = readContents(KeptText::read(other.handle()));
  EXPECT_TRUE(none.entries.empty());
  EXPECT_TRUE(none.marks.empty());
}

// Contents in two columns, rows of both on the same lines: each column's entries are indented
// as in the first, so chapters and sections keep their depths.
// Some writers draw each contents row's leaders and page number before its title.
TEST_F(RuleLearning, ContentsWhoseNumbersComeBeforeTheirTitlesReadTheSame) {
  test::PdfSpec spec = manualWithContents();
  auto &c = spec.pages[1].texts;
  for (size_t i = 1; i + 1 < c.size(); ++i)
    if (c[i + 1].x == 500 && c[i].y == c[i + 1].y) {
      c[i + 1].text = ". . . . . . " + c[i + 1].text;
      c[i + 1].x = 400;
      std::swap(c[i], c[i + 1]);
      ++i;
    }
  const std::string path = dir.file("numbers-first.pdf");
  test::writePdf(spec, path);
  test::OpenDoc opened(host, path);
  const ContentsOutline contents = readContents(KeptText::read(opened.handle()));
  ASSERT_EQ(contents.entries.size(), 6u);
  EXPECT_EQ(contents.entries[1].title, "1 Introduction");
  EXPECT_EQ(contents.entries[1].printed, 1);
  EXPECT_EQ(contents.entries[3].title, "1.2 A title that is long and goes on to a second row");
  EXPECT_EQ(contents.placed, 5);
}

TEST_F(RuleLearning, ContentsInTwoColumnsKeepTheirDepths) {
  test::PdfSpec spec = test::pages(4);
  auto &c = spec.pages[0].texts;
  const struct {
    const char *title;
    double left;
    const char *number;
  } rows[] = {{"1 Introduction", 72, "2"}, {"1.1 About", 86, "2"},     {"1.2 License", 86, "2"},
              {"2 Usage", 320, "3"},       {"2.1 Commands", 334, "3"}, {"2.2 Options", 334, "4"}};
  for (int i = 0; i < 6; ++i) {
    const double y = 700 - 14 * (i % 3);
    c.push_back(textAt(rows[i].title, rows[i].left, y, 10, "Times-Roman"));
    c.push_back(textAt(". . . .", rows[i].left + 100, y, 10, "Times-Roman"));
    c.push_back(textAt(rows[i].number, i < 3 ? 270 : 520, y, 10, "Times-Roman"));
  }
  auto heading = [&](int page, const char *title, double top, double size) {
    spec.pages[size_t(page)].texts.push_back(textAt(title, 72, top, size, "Helvetica-Bold"));
  };
  heading(1, "1 Introduction", 720, 16);
  heading(1, "1.1 About", 600, 12);
  heading(1, "1.2 License", 500, 12);
  heading(2, "2 Usage", 720, 16);
  heading(2, "2.1 Commands", 600, 12);
  heading(3, "2.2 Options", 720, 12);
  const std::string path = dir.file("columns.pdf");
  test::writePdf(spec, path);
  test::OpenDoc opened(host, path);
  const ContentsOutline contents = readContents(KeptText::read(opened.handle()));
  ASSERT_EQ(contents.entries.size(), 6u);
  std::vector<int32_t> depths;
  for (const ContentsEntry &e : contents.entries)
    depths.push_back(e.depth);
  EXPECT_EQ(depths, (std::vector<int32_t>{1, 2, 2, 1, 2, 2}));
  EXPECT_EQ(contents.entries[3].title, "2 Usage");
  EXPECT_EQ(contents.placed, 6);
}

// Parts set larger than the chapters at the chapters' left edge are a depth above them.
TEST_F(RuleLearning, ContentsEntriesSetLargerAtOneIndentationAreADepthAbove) {
  test::PdfSpec spec = test::pages(2);
  const struct {
    const char *title;
    double left, size;
  } rows[] = {{"Part I Basics", 72, 14}, {"1 Introduction", 72, 11},   {"1.1 Scope", 90, 11},
              {"2 Usage", 72, 11},       {"Part II Advanced", 72, 14}, {"3 Internals", 72, 11},
              {"3.1 Memory", 90, 11}};
  double y = 700;
  for (const auto &r : rows) {
    spec.pages[0].texts.push_back(textAt(r.title, r.left, y, r.size, "Times-Roman"));
    spec.pages[0].texts.push_back(textAt("2", 500, y, r.size, "Times-Roman"));
    y -= 20;
  }
  const std::string path = dir.file("parts.pdf");
  test::writePdf(spec, path);
  test::OpenDoc opened(host, path);
  const ContentsOutline contents = readContents(KeptText::read(opened.handle()));
  std::vector<int32_t> depths;
  for (const ContentsEntry &e : contents.entries)
    depths.push_back(e.depth);
  EXPECT_EQ(depths, (std::vector<int32_t>{1, 2, 3, 2, 1, 2, 3}));

  // one larger entry alone is no depth of its own
  spec.pages[0].texts[8].size = 11;
  test::writePdf(spec, dir.file("one-part.pdf"));
  test::OpenDoc other(host, dir.file("one-part.pdf"));
  depths.clear();
  for (const ContentsEntry &e : readContents(KeptText::read(other.handle())).entries)
    depths.push_back(e.depth);
  EXPECT_EQ(depths, (std::vector<int32_t>{1, 1, 2, 1, 1, 1, 2}));
}

// Chapters and their sections at one left edge in one size, subsections indented: the numbers
// tell the first two apart; an unnumbered entry beside the chapters stays at their depth.
TEST_F(RuleLearning, ContentsEntriesAtOneIndentationTakeTheirDepthFromTheirNumbers) {
  test::PdfSpec spec = test::pages(2);
  const struct {
    const char *title;
    double left, size;
  } rows[] = {{"Part I Basics", 72, 14},    {"1 Introduction", 72, 11},
              {"2 Installation", 72, 11},   {"2.1 Compiling", 72, 11},
              {"2.2 Installing", 72, 11},   {"2.2.1 On Windows", 90, 11},
              {"Part II Advanced", 72, 14}, {"3 Internals", 72, 11},
              {"3.1 Memory", 72, 11},       {"Bibliography", 72, 11}};
  double y = 700;
  for (const auto &r : rows) {
    spec.pages[0].texts.push_back(textAt(r.title, r.left, y, r.size, "Times-Roman"));
    spec.pages[0].texts.push_back(textAt("2", 500, y, r.size, "Times-Roman"));
    y -= 20;
  }
  const std::string path = dir.file("numbered.pdf");
  test::writePdf(spec, path);
  test::OpenDoc opened(host, path);
  std::vector<int32_t> depths;
  for (const ContentsEntry &e : readContents(KeptText::read(opened.handle())).entries)
    depths.push_back(e.depth);
  EXPECT_EQ(depths, (std::vector<int32_t>{1, 2, 2, 3, 3, 4, 1, 2, 3, 2}));
}

} // namespace
} // namespace sorvane
