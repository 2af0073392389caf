// Learning level rules from an outline, on lines made by hand: which headings are found, the
// style and tightening chosen, and what is written.
#include "host/cli/rule_learning.h"

#include <gtest/gtest.h>

#include <regex>

namespace sorvane::cli {
namespace {

TextLine line(int page, std::string text, std::string font, double size, double left = 72,
              double top = 700) {
  TextLine l;
  l.page = page;
  l.text = std::move(text);
  l.styles = {{std::move(font), size}};
  l.box = HostRect{left, top - size, left + 200, top};
  return l;
}

// A small manual: chapters (18 pt) and sections (14 pt) in a bold face with a subset prefix,
// body text, a running head repeating the chapter title, a contents page, and bold 14-point
// lines that are no section ("Example").
struct Manual {
  std::vector<TextLine> lines;
  std::vector<OutlineMark> marks;
  Manual() {
    const std::string bold = "ABCDEF+NimbusSans-Bold";
    lines.push_back(line(0, "Contents", bold, 18));
    lines.push_back(line(0, "1 Getting started 2", "Times", 10, 72, 650));
    lines.push_back(line(0, "2 Going further 4", "Times", 10, 72, 630));
    for (int chapter = 1; chapter <= 2; ++chapter) {
      const int page = 2 * chapter - 1;
      const std::string title = chapter == 1 ? "Getting started" : "Going further";
      lines.push_back(line(page, std::to_string(chapter) + " " + title, bold, 18));
      lines.push_back(line(page, "Body text of the chapter.", "Times", 10, 72, 660));
      for (int section = 1; section <= 2; ++section) {
        const std::string name = std::to_string(chapter) + "." + std::to_string(section) +
                                 (section == 1 ? " Basics" : " Details");
        lines.push_back(line(page + section - 1, name, bold, 14, 72, 600 - 100 * section));
        lines.push_back(line(page + section - 1, "Example", bold, 14, 72, 480 - 100 * section));
        lines.push_back(line(page + section - 1, "More body.", "Times", 10, 72, 460));
        marks.push_back(OutlineMark{2, name.substr(name.find(' ') + 1), page + section - 1});
      }
      lines.push_back(line(page + 1, title, "Times-Italic", 9, 72, 780)); // running head
      marks.insert(marks.end() - 2, OutlineMark{1, title, page});
    }
  }
};

TEST(RuleLearning, TitlesCompareWithoutCaseBlanksPunctuationOrNumbers) {
  EXPECT_EQ(normalizedTitle("  The  Pitch-\n bend, (part 2) "), "the pitch bend part 2");
  EXPECT_EQ(normalizedTitle("Line- end hyphen"), "lineend hyphen");
  EXPECT_EQ(withoutNumber(normalizedTitle("1.2.3 Writing pitches")), "writing pitches");
  EXPECT_EQ(withoutNumber(normalizedTitle("Chapter 4: Tools")), "tools");
  EXPECT_EQ(withoutNumber(normalizedTitle("A.1 Grammar")), "grammar");
  EXPECT_EQ(withoutNumber(normalizedTitle("Introduction")), "introduction");
  EXPECT_EQ(withoutNumber(normalizedTitle("A word")), "a word");
  EXPECT_EQ(withoutNumber("12"), "12"); // nothing would be left
}

TEST(RuleLearning, EachDepthGetsTheStyleOfItsHeadings) {
  const Manual m;
  const Learned learned = learnRules(m.lines, m.marks);
  ASSERT_EQ(learned.levels.size(), 2u);
  EXPECT_EQ(learned.bookmarks, 6);
  EXPECT_EQ(learned.placed, 6);
  const LearnedLevel &chapters = learned.levels[0];
  EXPECT_EQ(chapters.fonts, (std::vector<std::string>{"NimbusSans-Bold"}));
  EXPECT_DOUBLE_EQ(chapters.size, 18);
  EXPECT_EQ(chapters.placed, 2);
  EXPECT_TRUE(chapters.removeNumbers); // "1 Getting started" is the bookmark "Getting started"
  // "Contents" is set like a chapter: the numbering leaves it out.
  EXPECT_EQ(chapters.pattern, "^(?:[0-9]+)( |$)");
  EXPECT_EQ(chapters.otherLines, 0);
  const LearnedLevel &sections = learned.levels[1];
  EXPECT_DOUBLE_EQ(sections.size, 14);
  EXPECT_EQ(sections.pattern, "^(?:[0-9]+\\.[0-9]+)( |$)");
  EXPECT_EQ(sections.placed, 4);
  EXPECT_FALSE(sections.multiline);
}

TEST(RuleLearning, AHeadingOnTwoRowsAndARepeatedLine) {
  std::vector<TextLine> lines = {
      line(0, "A heading that is long", "Bold", 16), line(0, "and wraps", "Bold", 16, 72, 680),
      line(0, "Body", "Times", 10, 72, 600), line(1, "Another heading", "Bold", 16)};
  // Lines set like headings that repeat and no bookmark names: stop words.
  for (int page = 0; page < 3; ++page)
    lines.push_back(line(page, "See also", "Bold", 16, 72, 300));
  const std::vector<OutlineMark> marks = {{1, "A heading that is long and wraps", 0},
                                          {1, "Another heading", 1},
                                          {2, "Nowhere to be found", 1}};
  const Learned learned = learnRules(lines, marks);
  ASSERT_EQ(learned.levels.size(), 1u); // depth 2 was found nowhere
  EXPECT_TRUE(learned.levels[0].multiline);
  EXPECT_EQ(learned.levels[0].placed, 2);
  EXPECT_EQ(learned.stopWords, (std::vector<std::string>{"See also"}));
  EXPECT_EQ(learned.levels[0].otherLines, 0);

  const auto file = settingsFile(learned);
  const auto &build = file["cabinet"]["BuildSettings"];
  EXPECT_EQ(build["NumLevels"], 1);
  EXPECT_EQ(build["IgnoreStopWords"], true);
  EXPECT_EQ(build["Level0"]["TextStyle"]["IgnoreSubsetPrefix"], true);
  EXPECT_EQ(build["Level0"]["TextMatch"]["MultilineTitles"], true);
  const std::string stop = build["StopWords"]["0"];
  EXPECT_TRUE(std::regex_search("See   also", std::regex(stop)));
  EXPECT_FALSE(std::regex_search("See also more", std::regex(stop)));
}

TEST(RuleLearning, AFontOnlyOneHeadingUsesIsLeftOutWhenItLetsInMore) {
  // Headings in Bold; one has an italic word. Captions set wholly in that italic, at the
  // headings' size, would all become bookmarks with it.
  std::vector<TextLine> lines;
  std::vector<OutlineMark> marks;
  for (int page = 0; page < 6; ++page) {
    lines.push_back(line(page, "Heading number " + std::string(1, char('A' + page)), "Bold", 13));
    marks.push_back({1, lines.back().text, page});
    for (int c = 0; c < 2; ++c)
      lines.push_back(line(page, "Caption " + std::to_string(page * 2 + c), "BoldItalic", 13, 72,
                           500 - 40 * c));
  }
  lines[0].styles.push_back({"BoldItalic", 13});
  const Learned learned = learnRules(lines, marks);
  ASSERT_EQ(learned.levels.size(), 1u);
  EXPECT_EQ(learned.levels[0].fonts, (std::vector<std::string>{"Bold"}));
  EXPECT_EQ(learned.levels[0].placed, 5); // the one with the italic word is lost
  EXPECT_EQ(learned.levels[0].otherLines, 0);
}

TEST(RuleLearning, WholeLinePatternsEscapeWhatRegularExpressionsUse) {
  const std::string p = wholeLinePattern("a.b (c) [d] $5 *");
  EXPECT_TRUE(std::regex_search("a.b (c) [d] $5 *", std::regex(p)));
  EXPECT_FALSE(std::regex_search("axb (c) [d] $5 *", std::regex(p)));
}

TEST(RuleLearning, NothingFoundLearnsNothing) {
  const std::vector<TextLine> lines = {line(0, "Body", "Times", 10)};
  EXPECT_TRUE(learnRules(lines, {{1, "Missing", 0}, {1, "No page", std::nullopt}}).levels.empty());
  EXPECT_TRUE(learnRules(lines, {}).levels.empty());
}

} // namespace
} // namespace sorvane::cli

namespace sorvane::cli {
namespace {

// A document without an outline: body text in Times 10, numbered chapters (18 pt) and sections
// (14 pt) in a bold face, a running head on every page, a contents page, a code block in a
// larger mono face, and a bold 14-point label that repeats.
std::vector<TextLine> unoutlinedBook() {
  std::vector<TextLine> lines;
  lines.push_back(line(0, "Contents", "Bold", 18, 72, 740));
  for (int c = 1; c <= 4; ++c)
    lines.push_back(line(
        0, std::to_string(c) + " Chapter title " + std::to_string(c) + " " + std::to_string(2 * c),
        "Times", 10, 72, 700 - 20 * c));
  for (int page = 1; page <= 8; ++page) {
    const int chapter = (page + 1) / 2;
    lines.push_back(line(page, "The Book, chapter " + std::to_string(chapter), "Times", 12, 72,
                         780)); // running head
    if (page % 2 == 1)
      lines.push_back(
          line(page, std::to_string(chapter) + " Chapter " + std::string(1, char('A' + chapter)),
               "Bold", 18, 72, 720));
    for (int para = 0; para < 6; ++para)
      lines.push_back(line(page, "Body text, a line of a paragraph " + std::to_string(para),
                           "Times", 10, 72, 690 - 12 * para));
    lines.push_back(line(page,
                         std::to_string(chapter) + "." + std::to_string(2 - page % 2) +
                             " Section " + std::string(1, char('a' + page)) + " here",
                         "Bold", 14, 72, 600));
    lines.push_back(line(page, "Body after the section.", "Times", 10, 72, 580));
    for (int code = 0; code < 3; ++code)
      lines.push_back(
          line(page, "call(" + std::to_string(code) + ");", "Mono", 11, 90, 560 - 12 * code));
    lines.push_back(line(page, "Example", "Bold", 14, 72, 500));
    lines.push_back(line(page, "Body after the example.", "Times", 10, 72, 480));
    lines.push_back(line(page, "Page " + std::to_string(page), "Times", 9, 300, 40));
  }
  return lines;
}

TEST(RuleSuggestion, HeadingStylesBecomeLevelsAndTheRestStaysOut) {
  const Learned suggested = suggestRules(unoutlinedBook(), 4);
  ASSERT_EQ(suggested.levels.size(), 2u);
  const LearnedLevel &chapters = suggested.levels[0];
  EXPECT_EQ(chapters.fonts, (std::vector<std::string>{"Bold"}));
  EXPECT_DOUBLE_EQ(chapters.size, 18);
  EXPECT_EQ(chapters.pattern, "^(?:[0-9]+)( |$)"); // "Contents" is no chapter
  EXPECT_FALSE(chapters.removeNumbers);
  EXPECT_EQ(chapters.lines, 4);
  const LearnedLevel &sections = suggested.levels[1];
  EXPECT_DOUBLE_EQ(sections.size, 14);
  EXPECT_EQ(sections.pattern, "^(?:[0-9]+\\.[0-9]+)( |$)");
  EXPECT_TRUE(sections.removeNumbers);
  EXPECT_EQ(sections.lines, 8);
  // The running head (larger than the body, but at the top of every page), the contents lines
  // (ending in page numbers) and the code (in blocks) are no levels.
  for (const LearnedLevel &l : suggested.levels)
    for (const std::string &font : l.fonts)
      EXPECT_TRUE(font == "Bold") << font;

  EXPECT_EQ(suggestRules(unoutlinedBook(), 1).levels.size(), 1u);
}

TEST(RuleSuggestion, OnlyBodyTextSuggestsNothing) {
  std::vector<TextLine> lines;
  for (int page = 0; page < 3; ++page)
    for (int i = 0; i < 5; ++i)
      lines.push_back(line(page, "Plain text " + std::to_string(i), "Times", 10, 72, 700 - 12 * i));
  EXPECT_TRUE(suggestRules(lines, 4).levels.empty());
  EXPECT_TRUE(suggestRules({}, 4).levels.empty());
}

} // namespace
} // namespace sorvane::cli
