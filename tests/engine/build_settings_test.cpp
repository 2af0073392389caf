// The build settings and their Cabinet form.
#include "plugin/engine/bookmark_builder.h"

#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

#include "tests/support/fixture_helpers.h"

#include "plugin/engine/settings_reference.h"
#include "plugin/values/fit_type.h"
#include "plugin/values/text_values.h"
#include "tests/support/test_host.h"

namespace sorvane {
namespace {

using BuildSettings = test::HostTest;

TEST_F(BuildSettings, AnEmptyCabinetReadsAsTheReadersDefaults) {
  BookmarkBuilder b;
  b.levels.resize(2);
  b.stopWords = {"x"};
  b.sortText = true;
  CabinetHandle empty = cab().cabinetNew();
  EXPECT_TRUE(b.read(empty));
  cab().cabinetDestroy(empty);
  EXPECT_TRUE(b.levels.empty());
  EXPECT_TRUE(b.stopWords.empty());
  EXPECT_TRUE(b.stopWordsMatchCase);
  EXPECT_TRUE(b.stopWordsMatchWholeWords);
  EXPECT_FALSE(b.stopWordsUseRegExp);
  EXPECT_FALSE(b.sortText);
  EXPECT_FALSE(b.skipDupBookmarks); // the reader's default, not the reset value
  EXPECT_EQ(b.firstPage, 0);
  EXPECT_EQ(b.lastPage, -1);
  EXPECT_EQ(b.insertType, 1);
}

TEST_F(BuildSettings, NoCabinetResetsAndKeepsTheMargins) {
  BookmarkBuilder b;
  b.skipDupBookmarks = false;
  b.margins = FixedRect{1, 2, 3, 4};
  b.levels.resize(1);
  EXPECT_FALSE(b.read(CabinetHandle()));
  EXPECT_TRUE(b.skipDupBookmarks);
  EXPECT_TRUE(b.levels.empty());
  EXPECT_EQ(b.margins, (FixedRect{1, 2, 3, 4}));
  EXPECT_FALSE(b.readNamed("BuildSettings", root));
}

TEST_F(BuildSettings, WriteThenReadGivesBackEveryField) {
  BookmarkBuilder b;
  b.levels.resize(3);
  b.levels[0].textStyleRule.fontDesc.fontSize = 18;
  b.levels[1].textMatchRule.query.pattern = "^Section";
  b.levels[2].indentRule.enabled = true;
  b.skipDupBookmarks = false;
  b.firstPage = 2;
  b.lastPage = 40;
  b.useMargins = true;
  b.insertType = 2;
  b.margins = FixedRect{fixedFromDouble(10), fixedFromDouble(780), fixedFromDouble(600), 0};
  b.ignoreStopWords = true;
  b.stopWords = {"Contents", "Index"};
  b.stopWordsMatchCase = false;
  b.stopWordsUseRegExp = true;
  b.sortText = true;
  b.keepOrphanHeadings = true;
  b.skipContentsLines = true;
  ASSERT_TRUE(b.writeNamed("BuildSettings", root));
  BookmarkBuilder back;
  ASSERT_TRUE(back.readNamed("BuildSettings", root));
  EXPECT_EQ(back.levels, b.levels);
  EXPECT_EQ(back.stopWords, b.stopWords);
  EXPECT_EQ(back.margins, b.margins);
  EXPECT_EQ(back.firstPage, 2);
  EXPECT_EQ(back.lastPage, 40);
  EXPECT_FALSE(back.skipDupBookmarks);
  EXPECT_TRUE(back.useMargins && back.ignoreStopWords && back.stopWordsUseRegExp && back.sortText);
  EXPECT_FALSE(back.stopWordsMatchCase);
  EXPECT_TRUE(back.keepOrphanHeadings);
  EXPECT_TRUE(back.skipContentsLines);
  EXPECT_EQ(back.insertType, 2);
  CabinetHandle settings = cab().cabinetGetCabinet(root, "BuildSettings");
  const auto keys = cab().cabinetKeys(settings);
  const std::vector<std::string> expected = {"IgnoreStopWords",
                                             "StopWords",
                                             "StopWordsMatchCase",
                                             "StopWordsMatchWholeWords",
                                             "StopWordsUseRegExp",
                                             "SortText",
                                             "SkipDupBookmarks",
                                             "KeepOrphanHeadings",
                                             "SkipContentsLines",
                                             "FirstPage",
                                             "LastPage",
                                             "UseMargins",
                                             "InsertType",
                                             "Margins",
                                             "NumLevels",
                                             "Level0",
                                             "Level1",
                                             "Level2"};
  EXPECT_EQ(keys, expected);
}

// The reference of settings keys (the sorvane-settings manual page) has every key a file holds
// and a meaning for each, and no meaning of a key that is gone.
TEST_F(BuildSettings, TheKeyReferenceIsWhole) {
  BookmarkBuilder b;
  b.levels.resize(1);
  b.stopWords = {"Contents"};
  b.levels[0].textStyleRule.fontDesc.fonts = {hostTables().core->atomFromString("Times-Bold")};
  CabinetHandle written = cab().cabinetNew();
  b.write(written);
  std::set<std::string> reference;
  for (const KeyReference &k : settingsKeys()) {
    reference.insert(k.path);
    EXPECT_FALSE(k.meaning.empty()) << k.path << " has no meaning";
  }
  std::vector<std::string> unknown;
  std::function<void(CabinetHandle, const std::string &)> walk = [&](CabinetHandle c,
                                                                     const std::string &prefix) {
    for (const std::string &key : cab().cabinetKeys(c)) {
      std::string path = prefix + key;
      if (path.rfind("Level", 0) == 0 && path.find('.') == std::string::npos && path != "Level" &&
          key != "NumLevels")
        path = "Level<N>";
      if (!reference.count(path))
        unknown.push_back(path);
      const bool list = path == "StopWords" || path.ends_with(".Fonts");
      if (!list && cab().cabinetGetType(c, key) == CabinetValueType::Cabinet)
        walk(cab().cabinetGetCabinet(c, key), path + ".");
    }
  };
  walk(written, "");
  cab().cabinetDestroy(written);
  EXPECT_EQ(unknown, std::vector<std::string>{"Level<N>"}); // the records NumLevels counts
  EXPECT_EQ(meaningsWithoutKey(), std::vector<std::string>{});
  std::ostringstream manual;
  writeSettingsManual(manual, "1.0");
  EXPECT_NE(manual.str().find(".B Level<N>.TextStyle.FontDesc.FontSize\nnumber, at least 0; "
                              "missing: 12."),
            std::string::npos)
      << manual.str().substr(0, 2000);
}

TEST_F(BuildSettings, OnlyLevelEntriesThatExistBelowTheCountAreRead) {
  BookmarkBuilder b;
  b.levels.resize(3);
  b.levels[2].fitType = 5;
  b.writeNamed("S", root);
  CabinetHandle s = cab().cabinetGetCabinet(root, "S");
  cab().cabinetRemove(s, "Level1");
  BookmarkBuilder back;
  back.readNamed("S", root);
  ASSERT_EQ(back.levels.size(), 2u);
  EXPECT_EQ(back.levels[1].fitType, 5);
  cab().cabinetPutInt(s, "NumLevels", 0);
  back.readNamed("S", root);
  EXPECT_TRUE(back.levels.empty());
  cab().cabinetPutInt(s, "NumLevels", 2000000000); // a hand-edited count costs nothing
  back.readNamed("S", root);
  EXPECT_EQ(back.levels.size(), 2u);
}

TEST_F(BuildSettings, CopiesAreDeep) {
  BookmarkBuilder a;
  a.levels.resize(1);
  a.stopWords = {"Contents"};
  BookmarkBuilder b = a;
  b.levels[0].fitType = 7;
  b.stopWords[0] = "Index";
  EXPECT_EQ(a.levels[0].fitType, 0);
  EXPECT_EQ(a.stopWords[0], "Contents");
}

// ---- the settings check

std::vector<std::string> paths(const SettingsProblems &problems) {
  std::vector<std::string> out;
  for (const SettingsProblem &p : problems)
    out.push_back(p.path);
  return out;
}

TEST_F(BuildSettings, WhatTheWriterWritesTheCheckAccepts) {
  // Every record's table and its check agree: a written Cabinet with every part in it has no
  // unknown key and no value of the wrong type.
  BookmarkBuilder b;
  b.levels.resize(2);
  b.levels[0].textStyleRule.fontDesc.fontSize = 18;
  b.levels[1].textMatchRule.query.pattern = "^[0-9]+ ";
  b.levels[1].textMatchRule.query.useRegExp = true;
  b.levels[1].useProcessingArea = true;
  b.stopWords = {"Contents", "Index"};
  b.writeNamed("S", root);
  EXPECT_TRUE(BookmarkBuilder::check(cab().cabinetGetCabinet(root, "S")).empty());
}

TEST_F(BuildSettings, NumbersWithNamedValuesAreCheckedAndDescribedByTheirNames) {
  // The check, the key reference and the level dialog's lists read one table of names.
  BookmarkBuilder b;
  b.levels.resize(1);
  b.writeNamed("S", root);
  CabinetHandle level = cab().cabinetGetCabinet(cab().cabinetGetCabinet(root, "S"), "Level0");
  cab().cabinetPutInt(level, "FitType", 9);
  cab().cabinetPutInt(cab().cabinetGetCabinet(level, "TextIndentation"), "DisplayUnits", -1);
  const SettingsProblems problems = BookmarkBuilder::check(cab().cabinetGetCabinet(root, "S"));
  ASSERT_EQ(paths(problems),
            (std::vector<std::string>{"Level0.FitType", "Level0.TextIndentation.DisplayUnits"}))
      << ::testing::PrintToString(paths(problems));
  EXPECT_NE(problems[0].message.find("is 9, outside the values it can take (0 Inherit Zoom, 1 "
                                     "Fit Page, 2 Fit Width, 3 Fit Height"),
            std::string::npos)
      << problems[0].message;
  EXPECT_NE(problems[1].message.find("(0 mm, 1 cm, 2 inches, 3 pt)"), std::string::npos)
      << problems[1].message;
  // Every number of the enums the rules use has its name, and the reference says them.
  EXPECT_EQ(nameOf(namesOf(IndentRule::fields(), "DisplayUnits"), int32_t(DisplayUnits::Inches)),
            "inches");
  EXPECT_EQ(nameOf(namesOf(LevelRule::fields(), "FitType"), int32_t(sorvane::FitType::FitB)),
            "Fit Visible");
  EXPECT_EQ(nameOf(namesOf(ContentFormat::fields(), "CaseStyle"), int32_t(CaseStyle::Lowercase)),
            "lowercase");
  EXPECT_TRUE(namesOf(LevelRule::fields(), "Level").empty());
  std::ostringstream manual;
  writeSettingsManual(manual, "1.0");
  EXPECT_NE(manual.str().find("Values: 0 No Change, 1 Add, 2 Remove."), std::string::npos);
  EXPECT_NE(manual.str().find("Values: 0 mm, 1 cm, 2 inches, 3 pt."), std::string::npos);
}

TEST_F(BuildSettings, TheCheckFindsALevelThatAnEarlierLevelLeavesNothingTo) {
  BookmarkBuilder b;
  b.levels = {test::fontLevel("Helvetica-Bold", 14), test::fontLevel("Helvetica-Bold", 14),
              test::fontLevel("Helvetica-Bold", 14), test::fontLevel("Helvetica-Bold", 12)};
  b.levels[0].textStyleRule.tolerance = 2;   // takes 12 to 16 pt
  b.levels[1].textStyleRule.tolerance = 0.3; // inside level 0's range: never reached
  b.levels[2].textStyleRule.fontDesc.fonts.push_back(hostTables().core->atomFromString("Courier"));
  b.levels[3].textStyleRule.tolerance = 2.5; // reaches below 12 pt: not all taken
  b.writeNamed("S", root);
  SettingsProblems problems = BookmarkBuilder::check(cab().cabinetGetCabinet(root, "S"));
  ASSERT_EQ(paths(problems), (std::vector<std::string>{"Level1"}))
      << ::testing::PrintToString(paths(problems));
  EXPECT_NE(problems[0].message.find("can never match: Level0 comes first"), std::string::npos);
  // A pattern, a case test or an indentation of the earlier level leaves lines to the later.
  b.levels[0].textMatchRule.query.pattern = "^Chapter";
  b.writeNamed("T", root);
  EXPECT_TRUE(BookmarkBuilder::check(cab().cabinetGetCabinet(root, "T")).empty());
  b.levels[0].textMatchRule.query.pattern.clear();
  b.levels[0].indentRule.enabled = true;
  b.writeNamed("U", root);
  EXPECT_TRUE(BookmarkBuilder::check(cab().cabinetGetCabinet(root, "U")).empty());
}

TEST_F(BuildSettings, TheCheckFindsLevelsThatCanMatchNothing) {
  BookmarkBuilder b;
  b.levels.resize(4);
  b.levels[0].textStyleRule.fontDesc.fontSize = 0;
  b.levels[1].textMatchRule.query.pattern = "^";
  b.levels[1].textMatchRule.query.useRegExp = true;
  b.levels[2].textMatchRule.query.pattern = "(?=Chapter)|\\b";
  b.levels[2].textMatchRule.query.useRegExp = true;
  b.levels[3].textMatchRule.query.pattern = "^Appendix$"; // matches rarely, but it can
  b.levels[3].textMatchRule.query.useRegExp = true;
  b.writeNamed("S", root);
  const SettingsProblems problems = BookmarkBuilder::check(cab().cabinetGetCabinet(root, "S"));
  EXPECT_EQ(paths(problems), (std::vector<std::string>{"Level0.TextStyle.FontDesc.FontSize",
                                                       "Level1.TextMatch.Query.Pattern",
                                                       "Level2.TextMatch.Query.Pattern"}))
      << ::testing::PrintToString(paths(problems));
  ASSERT_FALSE(problems.empty());
  EXPECT_NE(problems[1].message.find("can only match empty text"), std::string::npos);
  // Size 0 with the size test off is fine.
  b.levels = {LevelRule()};
  b.levels[0].textStyleRule.fontDesc.fontSize = 0;
  b.levels[0].textStyleRule.matchFontSize = false;
  b.writeNamed("T", root);
  EXPECT_TRUE(BookmarkBuilder::check(cab().cabinetGetCabinet(root, "T")).empty());
}

TEST_F(BuildSettings, TheCheckNamesEachMistakeByItsPath) {
  CabinetHandle s = cab().cabinetNew();
  cab().cabinetPutCabinet(root, "S", s);
  cab().cabinetPutInt(s, "NumLevels", 1);
  cab().cabinetPutInt(s, "InsertType", 7);             // out of range
  cab().cabinetPutInt(s, "Lastpage", 3);               // a typo
  cab().cabinetPutBool(s, "StopWordsUseRegExp", true); // with a stop word that cannot compile
  writeStringList({"(^x"}, "StopWords", s);
  CabinetHandle level = cab().cabinetNew();
  cab().cabinetPutCabinet(s, "Level0", level);
  CabinetHandle style = cab().cabinetNew();
  cab().cabinetPutCabinet(level, "TextStyle", style);
  CabinetHandle font = cab().cabinetNew();
  cab().cabinetPutCabinet(style, "FontDesc", font);
  writeTextValue("17.2", "FontSize", font); // a number as text
  cab().cabinetPutInt(font, "Fontsize", 12);
  CabinetHandle match = cab().cabinetNew();
  cab().cabinetPutCabinet(level, "TextMatch", match);
  CabinetHandle query = cab().cabinetNew();
  cab().cabinetPutCabinet(match, "Query", query);
  cab().cabinetPutBool(query, "UseRegExp", true);
  writeTextValue("(^[0-9A-Z]+", "Pattern", query);          // cannot compile
  cab().cabinetPutCabinet(s, "Level1", cab().cabinetNew()); // beyond NumLevels

  const SettingsProblems problems = BookmarkBuilder::check(s);
  EXPECT_EQ(paths(problems),
            (std::vector<std::string>{
                "InsertType", "Lastpage", "Level0.TextStyle.FontDesc.FontSize",
                "Level0.TextStyle.FontDesc.Fontsize", "Level0.TextStyle.FontDesc.Fonts",
                "Level0.TextMatch.Query.Pattern", "Level1", "StopWords.0"}))
      << "got " << ::testing::PrintToString(paths(problems));
  auto says = [&](const std::string &path, const std::string &words) {
    for (const SettingsProblem &p : problems)
      if (p.path == path)
        return p.message.find(words) != std::string::npos;
    return false;
  };
  EXPECT_TRUE(says("Lastpage", "did you mean \"LastPage\""));
  EXPECT_TRUE(says("Level0.TextStyle.FontDesc.FontSize",
                   "should be a number, not a text; it is ignored and 12 is used"));
  // A font description without names: nothing can match.
  EXPECT_TRUE(says("Level0.TextStyle.FontDesc.Fonts", "names no font while MatchName is on"));
  // PCRE2's own words, with where it stopped.
  EXPECT_TRUE(says("Level0.TextMatch.Query.Pattern",
                   "not a valid regular expression (missing closing parenthesis at offset 11)"));

  // The file is still read as before: the wrong values are left at their defaults.
  BookmarkBuilder b;
  b.read(s);
  ASSERT_EQ(b.levels.size(), 1u);
  EXPECT_EQ(b.levels[0].textStyleRule.fontDesc.fontSize, 12);
  EXPECT_EQ(b.insertType, 7);
  EXPECT_EQ(b.levels[0].describeLevel(), "0 Fonts Used, Size 12.0 pt, Invalid Pattern");
}

} // namespace
} // namespace sorvane
