#include "plugin/rules/pattern_matcher.h"

#include <gtest/gtest.h>

#include <chrono>

namespace sorvane {
namespace {

bool matches(const PatternDescription &d, std::string_view subject) {
  const BuiltPattern built = buildPattern(d);
  PatternMatcher m;
  return m.compile(built.pattern, built.caseless) && m.execute(subject);
}

PatternDescription plain(std::string text) { return {std::move(text), false, false, false}; }
PatternDescription regex(std::string text) { return {std::move(text), true, false, false}; }

TEST(EscapePattern, EscapesTheElevenSpecialCharactersOnly) {
  EXPECT_EQ(escapePattern("[\\^$.|?*+()"), "\\[\\\\\\^\\$\\.\\|\\?\\*\\+\\(\\)");
  EXPECT_EQ(escapePattern("a{2}]"), "a{2}]");
  EXPECT_EQ(escapePattern("Stra\xC3\x9F"
                          "e 1.2"),
            "Stra\xC3\x9F"
            "e 1\\.2");
}

TEST(BuildPattern, WrapsWholeWordsAndChoosesCaseFolding) {
  const BuiltPattern b = buildPattern({"a.b", false, true, false});
  EXPECT_EQ(b.pattern, "\\b(a\\.b)\\b");
  EXPECT_TRUE(b.caseless);
  EXPECT_FALSE(buildPattern({"x", true, false, true}).caseless);
}

TEST(PatternMatching, PlainTextIsLiteralButRegularExpressionsAreNot) {
  EXPECT_TRUE(matches(plain("1.2"), "Section 1.2"));
  EXPECT_FALSE(matches(plain("1.2"), "Section 132"));
  EXPECT_TRUE(matches(regex("1.2"), "Section 1.2"));
  EXPECT_TRUE(matches(regex("1.2"), "Section 132"));
  EXPECT_TRUE(matches(plain("A+B (part 2)"), "Notes on A+B (part 2)"));
  // Braces are not escaped, so a{2} stays a repetition.
  EXPECT_TRUE(matches(plain("x{2}"), "xx"));
  EXPECT_FALSE(matches(plain("x{2}"), "x{2}"));
}

TEST(PatternMatching, WholeWordsKeepAlternationsInsideTheGroup) {
  PatternDescription art{"art", false, true, false};
  EXPECT_FALSE(matches(art, "Article"));
  EXPECT_FALSE(matches(art, "start"));
  EXPECT_TRUE(matches(art, "Modern art"));
  PatternDescription alt{"Chapter|Part", true, true, false};
  EXPECT_TRUE(matches(alt, "Part one"));
  EXPECT_TRUE(matches(alt, "The Chapter"));
  EXPECT_FALSE(matches(alt, "Partial Chapters"));
}

TEST(PatternMatching, CaseFoldingIsForAsciiLettersOnly) {
  EXPECT_TRUE(matches(plain("chapter"), "CHAPTER 1"));
  EXPECT_FALSE(matches({"chapter", false, false, true}, "CHAPTER 1"));
  EXPECT_FALSE(matches(plain("\xC3\xA9t\xC3\xA9"), "\xC3\x89T\xC3\x89")); // été vs ÉTÉ
  EXPECT_TRUE(matches(plain("\xC3\xA9t\xC3\xA9"), "R\xC3\xA9sum\xC3\xA9 d'\xC3\xA9t\xC3\xA9"));
}

TEST(PatternMatching, EmptyPatternsAndSubjectsNeverMatch) {
  EXPECT_FALSE(matches(plain(""), "anything"));
  EXPECT_FALSE(matches(regex("x*"), "abc")); // only empty matches here
  EXPECT_FALSE(matches(regex("."), ""));
  PatternMatcher uncompiled;
  EXPECT_FALSE(uncompiled.execute("text"));
}

TEST(PatternMatching, AnInvalidExpressionDoesNotCompileAndHoldsNothing) {
  PatternMatcher m;
  ASSERT_TRUE(m.compile("ok", false));
  EXPECT_FALSE(m.compile("(", false));
  EXPECT_FALSE(m.isCompiled());
  EXPECT_EQ(m.pattern(), "");
  EXPECT_FALSE(m.execute("("));
}

TEST(PatternMatching, APathologicalExpressionGivesUpInsteadOfHanging) {
  PatternMatcher m;
  ASSERT_TRUE(m.compile("(a+)+$", false));
  const std::string subject = std::string(40, 'a') + "!";
  const auto start = std::chrono::steady_clock::now();
  const uint64_t hitsBefore = PatternMatcher::limitHits();
  EXPECT_FALSE(m.execute(subject));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(PatternMatcher::limitHits() - hitsBefore, 1u); // given up, and counted
  EXPECT_TRUE(m.execute(std::string(40, 'a')));            // a real match still counts
  EXPECT_FALSE(m.execute("b"));                            // a plain miss is no give-up
  EXPECT_EQ(PatternMatcher::limitHits() - hitsBefore, 1u);
}

TEST(StopWords, MatchOnlyWhenTheTestIsOn) {
  const std::vector<std::string> words = {"Contents", "Index"};
  StopWordOptions on{true, false, false, false};
  EXPECT_TRUE(containsStopWord(words, on, "Table of contents"));
  EXPECT_TRUE(containsStopWord(words, on, "INDEX"));
  EXPECT_FALSE(containsStopWord(words, on, "Introduction"));
  StopWordOptions off = on;
  off.ignoreStopWords = false;
  EXPECT_FALSE(containsStopWord(words, off, "Contents"));
}

TEST(StopWords, EmptyAndInvalidWordsIgnoreNothing) {
  StopWordOptions regexOn{true, true, false, false};
  EXPECT_FALSE(containsStopWord({""}, regexOn, "Anything at all"));
  EXPECT_FALSE(containsStopWord({"("}, regexOn, "Chapter (1)"));
  EXPECT_TRUE(containsStopWord({"(", "^Ch"}, regexOn, "Chapter (1)"));
  StopWordOptions wholeCase{true, false, true, true};
  EXPECT_FALSE(containsStopWord({"index"}, wholeCase, "Index"));
  EXPECT_FALSE(containsStopWord({"Index"}, wholeCase, "Indexes"));
  EXPECT_TRUE(containsStopWord({"Index"}, wholeCase, "The Index"));
}

} // namespace
} // namespace sorvane
