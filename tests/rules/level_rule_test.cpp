#include "plugin/rules/level_rule.h"

#include <gtest/gtest.h>

#include "sdk/imported_tables.h"
#include "tests/support/test_host.h"

namespace sorvane {
namespace {

Atom atom(const char *name) { return hostTables().core->atomFromString(name); }

TextRun run(const char *font, double size, FixedRect box = {0, 0, 0, 0}) {
  TextRun r;
  r.text = "Heading";
  r.fontName = atom(font);
  r.fontSize = size;
  r.box = box;
  r.valid = true;
  return r;
}

FixedRect rect(double left, double top, double right, double bottom) {
  return {fixedFromDouble(left), fixedFromDouble(top), fixedFromDouble(right),
          fixedFromDouble(bottom)};
}

using LevelRuleMatching = test::HostTest;
using LevelRuleCabinet = test::HostTest;

TEST_F(LevelRuleMatching, FontSizeWithinTheToleranceMatchesEdgesIncluded) {
  LevelRule rule; // Helvetica-Bold, 12 pt, tolerance 0.35
  EXPECT_TRUE(rule.matchesFontAndArea(run("Helvetica-Bold", 11.65)));
  EXPECT_TRUE(rule.matchesFontAndArea(run("Helvetica-Bold", 12.35)));
  EXPECT_FALSE(rule.matchesFontAndArea(run("Helvetica-Bold", 11.6)));
  EXPECT_FALSE(rule.matchesFontAndArea(run("Helvetica-Bold", 12.4)));
  rule.textStyleRule.tolerance = 0;
  EXPECT_TRUE(rule.matchesFontAndArea(run("Helvetica-Bold", 12)));
  EXPECT_FALSE(rule.matchesFontAndArea(run("Helvetica-Bold", 12.001)));
}

TEST_F(LevelRuleMatching, FontNamesCompareWholeAndCaseSensitive) {
  LevelRule rule;
  EXPECT_FALSE(rule.matchesFontAndArea(run("ABCDEF+Helvetica-Bold", 12)));
  EXPECT_FALSE(rule.matchesFontAndArea(run("helvetica-bold", 12)));
  rule.textStyleRule.fontDesc.fonts.push_back(atom("ABCDEF+Helvetica-Bold"));
  EXPECT_TRUE(rule.matchesFontAndArea(run("ABCDEF+Helvetica-Bold", 12)));
  rule.textStyleRule.matchFontSize = false;
  EXPECT_TRUE(rule.matchesFontAndArea(run("Helvetica-Bold", 30)));
  rule.textStyleRule.fontDesc.fonts.clear();
  EXPECT_FALSE(rule.matchesFontAndArea(run("Helvetica-Bold", 12))); // no names: no match
  rule.textStyleRule.matchName = false;
  EXPECT_TRUE(rule.matchesFontAndArea(run("Anything", 99)));
}

TEST_F(LevelRuleMatching, TheProcessingAreaNeedsARealOverlap) {
  LevelRule rule;
  rule.useProcessingArea = true;
  rule.processingArea = rect(100, 700, 500, 100);
  EXPECT_TRUE(rule.matchesFontAndArea(run("Helvetica-Bold", 12, rect(90, 650, 120, 640))));
  EXPECT_FALSE(rule.matchesFontAndArea(run("Helvetica-Bold", 12, rect(50, 650, 100, 640))));
  EXPECT_FALSE(rule.matchesFontAndArea(run("Helvetica-Bold", 12, rect(200, 720, 300, 700))));
  TextRun unread = run("Helvetica-Bold", 12, rect(200, 650, 300, 640));
  unread.valid = false;
  EXPECT_FALSE(rule.matchesFontAndArea(unread));
  rule.processingArea = FixedRect(); // all zero: only a box around the origin overlaps
  EXPECT_TRUE(rule.matchesFontAndArea(run("Helvetica-Bold", 12, rect(-1, 1, 1, -1))));
  EXPECT_FALSE(rule.matchesFontAndArea(run("Helvetica-Bold", 12, rect(0, 10, 10, 0))));
  rule.useProcessingArea = false;
  EXPECT_TRUE(rule.matchesFontAndArea(run("Helvetica-Bold", 12, rect(0, 10, 10, 0))));
}

TEST(IndentRuleMatching, LeftEdgesWithinTheTolerance) {
  IndentRule r;
  r.enabled = true;
  r.leftIndent = 72;
  r.tolerance = 14.4;
  EXPECT_TRUE(r.matchesIndent(fixedFromDouble(58)));
  EXPECT_TRUE(r.matchesIndent(fixedFromDouble(86)));
  EXPECT_FALSE(r.matchesIndent(fixedFromDouble(57)));
  EXPECT_FALSE(r.matchesIndent(fixedFromDouble(87)));
  r.enabled = false;
  EXPECT_TRUE(r.matchesIndent(fixedFromDouble(500)));
}

TEST(DisplayUnits, RoundToEachUnitsStep) {
  EXPECT_DOUBLE_EQ(toDisplayUnits(72, 2), 1.0);
  EXPECT_DOUBLE_EQ(toDisplayUnits(10, 0), 3.5);
  EXPECT_DOUBLE_EQ(toDisplayUnits(100, 1), 3.53);
  EXPECT_DOUBLE_EQ(toDisplayUnits(12.34, 3), 12.3);
  EXPECT_DOUBLE_EQ(toDisplayUnits(-10, 0), -3.5);
  EXPECT_DOUBLE_EQ(fromDisplayUnits(1, 2), 72.0);
  EXPECT_DOUBLE_EQ(fromDisplayUnits(1, 0), 2.8);
  EXPECT_DOUBLE_EQ(fromDisplayUnits(2.5, 1), 70.9);
  EXPECT_EQ(toDisplayUnits(72, 7), 0);
  EXPECT_EQ(fromDisplayUnits(1, -1), 0);
  EXPECT_STREQ(unitShortName(2), "in");
  EXPECT_STREQ(unitShortName(4), "??");
}

TEST_F(LevelRuleMatching, TextRulesApplyThePatternThenTheCase) {
  LevelRule rule;
  TextMatchRule &m = rule.textMatchRule;
  m.caseMatching = int32_t(CaseMatching::AllCapitals);
  EXPECT_TRUE(rule.matchesText("CHAPTER 1"));
  EXPECT_TRUE(rule.matchesText("2005"));
  EXPECT_TRUE(rule.matchesText(""));
  EXPECT_FALSE(rule.matchesText("Chapter 1"));
  EXPECT_FALSE(rule.matchesText("\xC3\x89T\xC3\xA9")); // ÉTé
  m.caseMatching = int32_t(CaseMatching::FirstCapital);
  EXPECT_FALSE(rule.matchesText("1. Introduction"));
  EXPECT_FALSE(rule.matchesText("introduction"));
  EXPECT_TRUE(rule.matchesText("Introduction"));
  EXPECT_TRUE(rule.matchesText("\xC3\x9C"
                               "bersicht"));
  EXPECT_FALSE(rule.matchesText(""));
  m.caseMatching = int32_t(CaseMatching::FirstDigit);
  EXPECT_TRUE(rule.matchesText("1. Introduction"));
  EXPECT_FALSE(rule.matchesText(""));
  m.caseMatching = 0;
  m.query.pattern = "^Chapter";
  m.query.useRegExp = true;
  EXPECT_TRUE(rule.matchesText("chapter 2"));
  EXPECT_FALSE(rule.matchesText("Appendix"));
  m.query.pattern = "("; // does not compile: only the case test is left
  m.caseMatching = int32_t(CaseMatching::FirstDigit);
  EXPECT_TRUE(rule.matchesText("7 Anything"));
  EXPECT_FALSE(rule.matchesText("Anything"));
}

TEST_F(LevelRuleCabinet, ARuleReadsBackEqual) {
  LevelRule rule;
  rule.level = 2;
  rule.fitType = 2;
  rule.initialZoom = fixedFromDouble(1.5);
  rule.dispAttribs.isBold = true;
  rule.dispAttribs.color.setRgb(0, 0, 1);
  rule.contentFormat.caseStyle = 3;
  rule.contentFormat.prefixText = "\xC2\xA7 ";
  rule.contentFormat.skipDupLabels = false;
  rule.contentFormat.leadingNumbers = 1;
  rule.contentFormat.leadingType = 2;
  rule.useProcessingArea = true;
  rule.processingArea = rect(36, 756, 576, 36);
  rule.textStyleRule.tolerance = 0.5;
  rule.textStyleRule.fontDesc.fonts = {atom("Times-Bold"), atom("ABCDEF+Times-Bold"),
                                       atom("Times-Bold")};
  rule.textStyleRule.fontDesc.fontSize = 14;
  rule.textStyleRule.fontDesc.flags = 0x40000;
  rule.textStyleRule.matchColor = true;
  rule.textMatchRule.caseMatching = 2;
  rule.textMatchRule.multilineTitles = false;
  rule.textMatchRule.inlineRuns = true;
  rule.textMatchRule.query.pattern = "^Chapter \\d+";
  rule.textMatchRule.query.useRegExp = true;
  rule.textMatchRule.query.areaTop = fixedFromDouble(10);
  rule.indentRule = IndentRule{true, 72, 7.2, 0};
  ASSERT_TRUE(rule.write("Level0", root));
  LevelRule back;
  EXPECT_TRUE(back.read("Level0", root));
  EXPECT_EQ(back, rule);
  EXPECT_TRUE(cab().cabinetGetCabinet(cab().cabinetGetCabinet(root, "Level0"), "ContentFormating"));
}

TEST_F(LevelRuleCabinet, NegativeFixedValuesComeBackOneUnitCloserToZero) {
  LevelRule rule;
  rule.initialZoom = fixedFromDouble(-1.5) - 1; // -98304, exactly -1.5
  rule.textMatchRule.query.areaLeft = -98304;
  rule.write("L", root);
  LevelRule back;
  back.read("L", root);
  EXPECT_EQ(back.initialZoom, -98303);
  EXPECT_EQ(back.textMatchRule.query.areaLeft, -98303);
}

TEST_F(LevelRuleCabinet, AnEmptyRuleCabinetGivesTheResetValues) {
  cab().cabinetPutCabinet(root, "Level0", cab().cabinetNew());
  LevelRule back;
  back.textStyleRule.tolerance = 9;
  back.indentRule.tolerance = 9;
  EXPECT_TRUE(back.read("Level0", root));
  EXPECT_EQ(back, LevelRule());
  EXPECT_DOUBLE_EQ(back.textStyleRule.tolerance, 0.35);
  ASSERT_EQ(back.textStyleRule.fontDesc.fonts.size(), 1u);
  EXPECT_EQ(back.textStyleRule.fontDesc.fontNameAt(0), "Helvetica-Bold");
  EXPECT_DOUBLE_EQ(back.indentRule.tolerance, 14.4);
  EXPECT_EQ(back.indentRule.displayUnits, 2);
  EXPECT_TRUE(back.contentFormat.skipDupLabels);
  EXPECT_EQ(back.contentFormat.maxTextLength, 128);
  EXPECT_TRUE(back.textMatchRule.multilineTitles);
}

TEST_F(LevelRuleCabinet, EmptySubCabinetsGiveTheReadersDefaults) {
  CabinetHandle level = cab().cabinetNew();
  for (const char *key : {"ContentFormating", "TextStyle", "TextMatch", "TextIndentation"})
    cab().cabinetPutCabinet(level, key, cab().cabinetNew());
  CabinetHandle style = cab().cabinetGetCabinet(level, "TextStyle");
  cab().cabinetPutCabinet(style, "FontDesc", cab().cabinetNew());
  cab().cabinetPutCabinet(root, "Level0", level);
  LevelRule back;
  back.read("Level0", root);
  EXPECT_DOUBLE_EQ(back.textStyleRule.tolerance, 0.1);
  EXPECT_TRUE(back.textStyleRule.fontDesc.fonts.empty());
  EXPECT_TRUE(back.textStyleRule.matchName);
  EXPECT_TRUE(back.textStyleRule.matchFontSize);
  EXPECT_EQ(back.textStyleRule.fontDesc.fontSize, 12);
  EXPECT_EQ(back.textStyleRule.fontDesc.type, atom("Type1"));
  EXPECT_DOUBLE_EQ(back.indentRule.tolerance, 0);
  EXPECT_EQ(back.indentRule.displayUnits, 0);
  EXPECT_FALSE(back.contentFormat.skipDupLabels);
  EXPECT_TRUE(back.contentFormat.removeDupSpaces);
  EXPECT_TRUE(back.textMatchRule.multilineTitles);
  // Files written before titles could take inline runs end a title at any other font.
  EXPECT_FALSE(back.textMatchRule.inlineRuns);
  // No font names while MatchName is set: the rule matches no run, and says so.
  EXPECT_FALSE(back.matchesFontAndArea(run("Helvetica-Bold", 12)));
  EXPECT_EQ(back.describeLevel().substr(0, 12), "0 Fonts Used");
}

TEST_F(LevelRuleCabinet, AMissingRuleCabinetResetsOnlyWhatItOwns) {
  LevelRule rule;
  rule.fitType = 3;
  rule.useProcessingArea = true;
  rule.textStyleRule.tolerance = 2;
  rule.textMatchRule.caseMatching = 1;
  rule.textMatchRule.multilineTitles = false;
  rule.textMatchRule.inlineRuns = true;
  rule.textMatchRule.query.pattern = "x";
  rule.textMatchRule.query.useRegExp = true;
  rule.contentFormat.caseStyle = 1;
  rule.dispAttribs.isBold = true;
  rule.indentRule.enabled = true;
  EXPECT_FALSE(rule.read("Missing", root));
  EXPECT_EQ(rule.fitType, 0);
  EXPECT_FALSE(rule.useProcessingArea);
  EXPECT_DOUBLE_EQ(rule.textStyleRule.tolerance, 0.35);
  EXPECT_EQ(rule.textMatchRule.caseMatching, 0);
  EXPECT_TRUE(rule.textMatchRule.multilineTitles);
  EXPECT_FALSE(rule.textMatchRule.inlineRuns);
  EXPECT_EQ(rule.textMatchRule.query.pattern, "");
  EXPECT_TRUE(rule.textMatchRule.query.useRegExp); // the rest of the query stays
  EXPECT_EQ(rule.contentFormat.caseStyle, 1);
  EXPECT_TRUE(rule.dispAttribs.isBold);
  EXPECT_TRUE(rule.indentRule.enabled);
}

TEST_F(LevelRuleCabinet, AQueryMissingFromItsTextRuleEmptiesOnlyThePattern) {
  CabinetHandle match = cab().cabinetNew();
  cab().cabinetPutInt(match, "CaseMatching", 3);
  cab().cabinetPutCabinet(root, "TextMatch", match);
  TextMatchRule rule;
  rule.query.pattern = "old";
  rule.query.wholeWords = true;
  EXPECT_TRUE(rule.read("TextMatch", root));
  EXPECT_EQ(rule.caseMatching, 3);
  EXPECT_EQ(rule.query.pattern, "");
  EXPECT_TRUE(rule.query.wholeWords);
}

TEST_F(LevelRuleCabinet, FontNamesAreListedAsTextInEntryOrder) {
  LevelRule rule;
  rule.textStyleRule.fontDesc.fonts = {atom("B"), atom("A")};
  rule.write("L", root);
  CabinetHandle desc = cab().cabinetGetCabinet(
      cab().cabinetGetCabinet(cab().cabinetGetCabinet(root, "L"), "TextStyle"), "FontDesc");
  CabinetHandle fonts = cab().cabinetGetCabinet(desc, "Fonts");
  EXPECT_EQ(cab().cabinetGetInt(fonts, "NumItems", 0), 2);
  EXPECT_EQ(cab().textGetEncoded(cab().cabinetGetText(fonts, "0"), HostEncoding::Utf8), "B");
  EXPECT_EQ(cab().cabinetGetAtom(desc, "Encoding", Atom::Null), atom("WinAnsiEncoding"));
}

TEST_F(LevelRuleMatching, DescriptionsListTheActiveTests) {
  LevelRule rule;
  rule.textStyleRule.fontDesc.fontSize = 14;
  rule.indentRule = IndentRule{true, 72, 14.4, 2};
  rule.textMatchRule.query.pattern = "^Chapter";
  EXPECT_EQ(rule.describeLevel(),
            "Helvetica-Bold, Size 14.0 pt, Indent: 1.00 in, Pattern Matching");
  rule.textStyleRule.fontDesc.fontSize = 9;
  rule.textStyleRule.fontDesc.fonts.push_back(atom("Times-Bold"));
  rule.indentRule.displayUnits = 9;
  EXPECT_EQ(rule.describeLevel(), "2 Fonts Used, Size  9.0 pt, Indent: 0.00 ??, Pattern Matching");
  rule.textStyleRule.matchName = false;
  rule.textStyleRule.matchFontSize = false;
  rule.indentRule.enabled = false;
  rule.textMatchRule.query.pattern.clear();
  EXPECT_EQ(rule.describeLevel(), "No Rules Specified");
}

} // namespace
} // namespace sorvane
