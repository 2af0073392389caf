// The helpers of rule suggestion, on lines made by hand: titles as compared, whole-line
// patterns, and the styles suggested.
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

TEST(RuleLearning, WholeLinePatternsEscapeWhatRegularExpressionsUse) {
  const std::string p = wholeLinePattern("a.b (c) [d] $5 *");
  EXPECT_TRUE(std::regex_search("a.b (c) [d] $5 *", std::regex(p)));
  EXPECT_FALSE(std::regex_search("axb (c) [d] $5 *", std::regex(p)));
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
