#include "plugin/rules/title_format.h"

#include <gtest/gtest.h>

#include "plugin/rules/level_rule.h"
#include "plugin/values/text_case.h"
#include "tests/support/test_host.h"

namespace sorvane {
namespace {

std::string formatted(ContentFormat f, std::string title) {
  formatTitle(f, title);
  return title;
}

ContentFormat withCase(CaseStyle s) {
  ContentFormat f;
  f.caseStyle = int32_t(s);
  return f;
}

TEST(Counters, BumpGrowsCutsAndIgnoresSkippedLevels) {
  LevelCounters c;
  bumpCounter(c, 1); // no level 0 yet: ignored
  EXPECT_TRUE(c.empty());
  bumpCounter(c, 0);
  bumpCounter(c, 1);
  bumpCounter(c, 1);
  EXPECT_EQ(c, (LevelCounters{1, 2}));
  bumpCounter(c, 0);
  EXPECT_EQ(c, (LevelCounters{2}));
  bumpCounter(c, -1);
  EXPECT_EQ(c, (LevelCounters{2}));
}

TEST(LabelNumbers, LettersRomanNumeralsAndNumbers) {
  auto letters = [](int32_t v) { return formatLabelNumber({v}, 0, 1); };
  EXPECT_EQ(letters(1), "a");
  EXPECT_EQ(letters(26), "z");
  EXPECT_EQ(letters(27), "aa");
  EXPECT_EQ(letters(28), "bb");
  EXPECT_EQ(letters(52), "zz");
  EXPECT_EQ(letters(53), "aaa");
  EXPECT_EQ(letters(0), "");
  auto roman = [](int32_t v) { return formatLabelNumber({v}, 0, 2); };
  EXPECT_EQ(roman(1), "I");
  EXPECT_EQ(roman(4), "IV");
  EXPECT_EQ(roman(1994), "MCMXCIV");
  EXPECT_EQ(roman(4000), "MMMM");
  EXPECT_EQ(roman(0), "");
  EXPECT_EQ(formatLabelNumber({12}, 0, 0), "12");
  EXPECT_EQ(formatLabelNumber({12}, 0, 9), "12");
  EXPECT_EQ(formatLabelNumber({12}, 1, 0), "");
}

class Labels : public ::testing::Test {
protected:
  std::vector<LevelRule> rules(std::vector<std::pair<LeadingNumbers, LeadingType>> levels) {
    std::vector<LevelRule> out(levels.size());
    for (size_t i = 0; i < levels.size(); ++i) {
      out[i].contentFormat.leadingNumbers = int32_t(levels[i].first);
      out[i].contentFormat.leadingType = int32_t(levels[i].second);
    }
    return out;
  }
  test::TestHost host; // level rules name their fonts with host atoms
};

TEST_F(Labels, EachLevelAddsItsComponentInItsOwnStyle) {
  const auto r = rules({{LeadingNumbers::Add, LeadingType::Numbers},
                        {LeadingNumbers::Add, LeadingType::Numbers},
                        {LeadingNumbers::Add, LeadingType::RomanNumerals}});
  LevelCounters c;
  for (int i = 0; i < 3; ++i)
    bumpCounter(c, 0);
  bumpCounter(c, 1);
  bumpCounter(c, 2);
  bumpCounter(c, 2);
  EXPECT_EQ(labelAndFormat("Scope", 2, c, r), "3.1.II Scope");
}

TEST_F(Labels, LevelsWithoutAddGiveNoComponentAndNoSeparator) {
  const auto r = rules({{LeadingNumbers::NoChange, LeadingType::Numbers},
                        {LeadingNumbers::Add, LeadingType::Letters}});
  LevelCounters c;
  bumpCounter(c, 0);
  EXPECT_EQ(labelAndFormat("One", 0, c, r), "One");
  bumpCounter(c, 1);
  bumpCounter(c, 1);
  EXPECT_EQ(labelAndFormat("Second", 1, c, r), "b Second");
  bumpCounter(c, 0);
  bumpCounter(c, 1);
  EXPECT_EQ(labelAndFormat("Again", 1, c, r), "a Again");
}

TEST_F(Labels, ASkippedLevelLeavesEmptyComponents) {
  const auto r = rules({{LeadingNumbers::Add, LeadingType::Numbers},
                        {LeadingNumbers::Add, LeadingType::Numbers},
                        {LeadingNumbers::Add, LeadingType::Numbers}});
  LevelCounters c;
  bumpCounter(c, 0);
  bumpCounter(c, 2); // directly under level 1: ignored
  EXPECT_EQ(labelAndFormat("Deep", 2, c, r), "1.. Deep");
}

TEST_F(Labels, RemoveStripsALabelAddedAbove) {
  auto r = rules({{LeadingNumbers::Add, LeadingType::Numbers},
                  {LeadingNumbers::Remove, LeadingType::Numbers}});
  LevelCounters c;
  bumpCounter(c, 0);
  bumpCounter(c, 1);
  EXPECT_EQ(labelAndFormat("Scope", 1, c, r), "Scope");
}

TEST(FormatTitle, CollapsesBlanksAlways) {
  ContentFormat f;
  f.removeDupSpaces = false;
  EXPECT_EQ(formatted(f, "A    B  C "), "A B C ");
}

TEST(FormatTitle, RemoveDropsEverythingBeforeTheFirstLetter) {
  ContentFormat f;
  f.leadingNumbers = int32_t(LeadingNumbers::Remove);
  EXPECT_EQ(formatted(f, "1.2.3 Scope"), "Scope");
  EXPECT_EQ(formatted(f, "(a) Scope"), "a) Scope");
  // a number glued to the word is part of it; a title of numbers alone keeps them
  EXPECT_EQ(formatted(f, "1st steps"), "1st steps");
  EXPECT_EQ(formatted(f, "4.2 3D graphics"), "3D graphics");
  EXPECT_EQ(formatted(f, "2005"), "2005");
  EXPECT_EQ(formatted(f, "7.1"), "7.1");
  EXPECT_EQ(formatted(f, "3. \xC3\x9C"
                         "bersicht"),
            "\xC3\x9C"
            "bersicht");
  EXPECT_EQ(formatted(f, "\xE7\xAC\xAC 1"), "\xE7\xAC\xAC 1"); // a CJK letter counts
  // a quote mark that opens the first word stays with it; other marks go
  EXPECT_EQ(formatted(f, "2.1.1 \xE2\x80\x98"
                         "cout\xE2\x80\x99 and \xE2\x80\x98"
                         "cin\xE2\x80\x99"),
            "\xE2\x80\x98"
            "cout\xE2\x80\x99 and \xE2\x80\x98"
            "cin\xE2\x80\x99");
  EXPECT_EQ(formatted(f, "3.2 \\csdef"), "csdef");
  EXPECT_EQ(formatted(f, "4 \"Quoted\" title"), "\"Quoted\" title");
  EXPECT_EQ(formatted(f, "4.\"Quoted\""), "Quoted\""); // glued to the number: its punctuation
  EXPECT_EQ(formatted(f, "* Starred"), "Starred");     // not an opening mark
}

TEST(FormatTitle, CaseStyles) {
  EXPECT_EQ(formatted(withCase(CaseStyle::Uppercase), "Stra\xC3\x9F"
                                                      "e \xC3\xA9t\xC3\xA9"),
            "STRA\xC3\x9F"
            "E \xC3\x89T\xC3\x89");
  EXPECT_EQ(formatted(withCase(CaseStyle::Lowercase), "\xC3\x9C"
                                                      "BER \xD0\x9C\xD0\x98\xD0\xA0"),
            "\xC3\xBC"
            "ber \xD0\xBC\xD0\xB8\xD1\x80");
  EXPECT_EQ(formatted(withCase(CaseStyle::TitleCase), "CHAPTER ONE-TWO"), "Chapter One-two");
  EXPECT_EQ(formatted(withCase(CaseStyle::TitleCase), "\xC3\xA9t\xC3\xA9 \xC3\xA0 paris"),
            "\xC3\x89t\xC3\xA9 \xC3\x80 Paris");
  EXPECT_EQ(formatted(withCase(CaseStyle::SentenceCase), "1. INTRODUCTION"), "1. introduction");
  EXPECT_EQ(formatted(withCase(CaseStyle::SentenceCase), "\xC3\x89T\xC3\x89 CHAUD"),
            "\xC3\x89t\xC3\xA9 chaud");
  EXPECT_EQ(formatted(withCase(CaseStyle::DoNotChange), "MiXeD"), "MiXeD");
  EXPECT_EQ(formatted(withCase(static_cast<CaseStyle>(9)), "MiXeD"), "MiXeD");
}

TEST(FormatTitle, JoinsWordsHyphenatedAtLineEnds) {
  ContentFormat f;
  EXPECT_EQ(formatted(f, "Intro-  duction"), "Introduction");
  EXPECT_EQ(formatted(f, "A - B"), "A B");
  f.removeLineChangeDefis = false;
  EXPECT_EQ(formatted(f, "Intro- duction"), "Intro- duction");
}

TEST(FormatTitle, PrefixAndSuffixCountTowardTheLength) {
  ContentFormat f;
  f.maxTextLength = 10;
  f.prefixText = "Part";
  EXPECT_EQ(formatted(f, "Introduction"), "PartIntrod");
  f.prefixText.clear();
  f.suffixText = " >>";
  EXPECT_EQ(formatted(f, "1234567"), "1234567 >>"); // exactly the limit
  f.maxTextLength = 0;
  EXPECT_EQ(formatted(f, "Gone"), "");
}

TEST(FormatTitle, CuttingNeverSplitsACharacter) {
  ContentFormat f;
  f.maxTextLength = 4;
  EXPECT_EQ(formatted(f, "ab\xE2\x82\xAC"
                         "cd"),
            "ab"); // the euro sign would not fit whole
  f.maxTextLength = 5;
  EXPECT_EQ(formatted(f, "ab\xE2\x82\xAC"
                         "cd"),
            "ab\xE2\x82\xAC");
}

TEST(TextCase, HandlesLatinGreekAndCyrillicLettersAndKeepsStrayBytes) {
  EXPECT_EQ(toUpperText("\xC5\x82\xC3\xB3\xC4\x91\xC5\xBA"), "\xC5\x81\xC3\x93\xC4\x90\xC5\xB9");
  EXPECT_EQ(toUpperText("\xCE\xB1\xCE\xB2\xCF\x82"), "\xCE\x91\xCE\x92\xCE\xA3");
  EXPECT_EQ(toLowerText("\xD0\x81\xD0\xAF"), "\xD1\x91\xD1\x8F");
  EXPECT_EQ(toUpperText("a\xFF"
                        "b"),
            "A\xFF"
            "B");
  EXPECT_FALSE(isLetterChar(U'1'));
  EXPECT_FALSE(isLetterChar(0x2014)); // em dash
  EXPECT_TRUE(isLetterChar(0x4E2D));
}

} // namespace
} // namespace sorvane
