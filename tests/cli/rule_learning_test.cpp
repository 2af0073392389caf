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
