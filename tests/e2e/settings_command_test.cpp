// `sorvane settings new` and `sorvane settings show`.
#include <gtest/gtest.h>

#include "tests/support/fixture_helpers.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

TEST(SettingsCommand, ANewFileHasOneUsableLevelAndIsNotOverwritten) {
  test::TempDir dir;
  const std::string path = dir.file("new.svb");
  const auto made = test::runSorvane({"settings", "new", path});
  ASSERT_EQ(made.exitCode, 0) << made.err;
  const std::string written = test::readFile(path);
  EXPECT_NE(written.find("\"NumLevels\": 1"), std::string::npos);
  EXPECT_NE(written.find("\"InsertType\": 1"), std::string::npos);
  // Every key is there, the level's too, so that the file documents itself.
  for (const char *key :
       {"\"FontSize\": 12.0", "\"Tolerance\": 0.35", "\"MatchName\": true",
        "\"MultilineTitles\": true", "\"CaseStyle\": 0", "\"ShowOpen\"", "\"StopWordsMatchCase\"",
        "\"Margins\"", "\"IgnoreSubsetPrefix\": true", "\"KeepOrphanHeadings\": false",
        "\"InlineRuns\": true", "\"SkipDupBookmarks\": true"})
    EXPECT_NE(written.find(key), std::string::npos) << key << "\n" << written;
  EXPECT_EQ(test::runSorvane({"settings", "show", path}).exitCode, 0); // and it checks clean
  const auto again = test::runSorvane({"settings", "new", path});
  EXPECT_EQ(again.exitCode, 2);
  EXPECT_EQ(test::readFile(path), written);

  // The level finds 12-point Helvetica-Bold headings.
  test::PdfSpec spec = test::pages(1);
  test::TextSpec heading;
  heading.text = "Found with the new settings";
  heading.font = "Helvetica-Bold";
  spec.pages[0].texts = {heading};
  test::writePdf(spec, dir.file("in.pdf"));
  const auto run =
      test::runSorvane({"generate", dir.file("in.pdf"), "-s", path, "-o", dir.file("out.pdf")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto outline = test::inspectPdf(dir.file("out.pdf")).outline;
  ASSERT_EQ(outline.size(), 1u);
  EXPECT_EQ(outline[0].title, "Found with the new settings");
}

TEST(SettingsCommand, ShowDescribesEachLevelAndTheOtherSettings) {
  const auto r = test::runSorvane({"settings", "show", SORVANE_EXAMPLE_SETTINGS});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("2 levels"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Level 1 : (Helvetica-Bold, Size 20.0 pt)"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Level 2 : (Helvetica-Bold, Size 14.0 pt)"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("instead of the existing bookmarks"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Stop words: on \"Contents\""), std::string::npos) << r.out;
}

TEST(SettingsCommand, ShowRefusesWhatIsNotASettingsFile) {
  test::TempDir dir;
  test::writeFile(dir.file("x.svb"), "hello");
  const auto r = test::runSorvane({"settings", "show", dir.file("x.svb")});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_NE(r.err.find("not valid JSON"), std::string::npos) << r.err;
  EXPECT_EQ(test::runSorvane({"settings", "edit", dir.file("x.svb")}).exitCode, 2);
}

TEST(SettingsCommand, ShowAndGenerateTellWhatIsWrongInTheFile) {
  test::TempDir dir;
  test::writeFile(dir.file("typo.svb"), R"({"format": "sorvane-cabinet", "version": 1,
    "cabinet": {"BuildSettings": {"NumLevels": 1, "Level0": {
      "TextStyle": {"FontDesc": {"Fontsize": 14.0}}}}}})");
  const auto shown = test::runSorvane({"settings", "show", dir.file("typo.svb")});
  EXPECT_EQ(shown.exitCode, 1) << shown.err;
  EXPECT_NE(shown.err.find("Level0.TextStyle.FontDesc.Fontsize is not a setting (did you mean "
                           "\"FontSize\"?)"),
            std::string::npos)
      << shown.err;
  test::writePdf(test::pages(1), dir.file("in.pdf"));
  const auto run = test::runSorvane(
      {"generate", dir.file("in.pdf"), "-s", dir.file("typo.svb"), "-o", dir.file("out.pdf")});
  EXPECT_NE(run.err.find("warning: " + dir.file("typo.svb") + ": Level0.TextStyle"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(run.exitCode, 1) << run.err; // a setting was ignored: no clean success
}

TEST(SettingsCommand, ExtremeValuesAndPathsGiveMessagesNotCrashes) {
  test::TempDir dir;
  test::writeFile(dir.file("far.svb"), R"({"format": "sorvane-cabinet", "version": 1,
    "cabinet": {"BuildSettings": {"FirstPage": 2147483647, "LastPage": 2147483647}}})");
  const auto far = test::runSorvane({"settings", "show", dir.file("far.svb")});
  EXPECT_NE(far.out.find("Pages: from 2147483648 to 2147483648"), std::string::npos) << far.out;

  test::writeFile(dir.file("huge.svb"), R"({"format": "sorvane-cabinet", "version": 1,
    "cabinet": {"BuildSettings": {"NumLevels": 1, "Level0": {"InitialZoom": 1e400}}}})");
  const auto huge = test::runSorvane({"settings", "show", dir.file("huge.svb")});
  EXPECT_EQ(huge.exitCode, 3) << huge.err;
  EXPECT_NE(huge.err.find("BuildSettings.Level0.InitialZoom"), std::string::npos) << huge.err;

  const auto longName =
      test::runSorvane({"settings", "new", dir.file(std::string(300, 'a') + ".svb")});
  EXPECT_EQ(longName.exitCode, 4) << longName.err; // the file cannot be written
  EXPECT_NE(longName.err.find("File name too long"), std::string::npos) << longName.err;

  std::filesystem::create_symlink(dir.file("loop2"), dir.file("loop1"));
  std::filesystem::create_symlink(dir.file("loop1"), dir.file("loop2"));
  const auto loop = test::runSorvane({"settings", "new", dir.file("loop1")});
  EXPECT_EQ(loop.exitCode, 2) << loop.err;
  const auto show = test::runSorvane({"settings", "show", dir.file("loop1")});
  EXPECT_EQ(show.exitCode, 3) << show.err;
  EXPECT_NE(show.err.find("symbolic links"), std::string::npos) << show.err;
}

TEST(SettingsCommand, CheckTellsMistakesAndFontsTheDocumentLacks) {
  test::TempDir dir;
  test::PdfSpec spec = test::pages(1);
  spec.pages[0].texts = {test::textAt("Heading", 72, 700, 14, "ECEDAZ+Courier-Bold"),
                         test::textAt("Body", 72, 600, 10, "Times-Roman")};
  test::writePdf(spec, dir.file("in.pdf"));
  test::writeFile(dir.file("s.svb"), R"({"format": "sorvane-cabinet", "version": 1,
    "cabinet": {"BuildSettings": {"NumLevels": 3,
      "Level0": {"TextStyle": {"FontDesc": {"FontSize": 14.0,
                 "Fonts": {"NumItems": 1, "0": "Courier-Bold"}}}},
      "Level1": {"TextStyle": {"IgnoreSubsetPrefix": true, "FontDesc": {"FontSize": 14.0,
                 "Fonts": {"NumItems": 1, "0": "QKZHEU+Courier-Bold"}}}},
      "Level2": {"TextStyle": {"FontDesc": {"FontSize": 10.0,
                 "Fonts": {"NumItems": 1, "0": "times-roman"}}}}}}})");
  const auto clean = test::runSorvane({"settings", "check", dir.file("s.svb")});
  EXPECT_EQ(clean.exitCode, 0) << clean.err;
  EXPECT_EQ(clean.out, dir.file("s.svb") + ": no mistakes found (3 levels)\n");

  const auto r =
      test::runSorvane({"settings", "check", dir.file("s.svb"), "--pdf", dir.file("in.pdf")});
  EXPECT_EQ(r.exitCode, 1) << r.err;
  // Level 0 wants the exact name, which the document has only with a prefix; level 1 ignores
  // prefixes and is fine; level 2 differs by case.
  EXPECT_NE(r.err.find("Level0.TextStyle.FontDesc.Fonts: \"Courier-Bold\" occurs nowhere in " +
                       dir.file("in.pdf") + " (it has \"ECEDAZ+Courier-Bold\"; IgnoreSubsetPrefix"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.err.find("Level1."), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("\"times-roman\" occurs nowhere in " + dir.file("in.pdf") +
                       " (it has \"Times-Roman\")"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.out.find("2 mistakes"), std::string::npos) << r.out;
  EXPECT_EQ(test::runSorvane(
                {"settings", "check", dir.file("s.svb"), "--pdf", dir.file("in.pdf"), "--strict"})
                .exitCode,
            3);
}

TEST(SettingsCommand, StrictGenerationDoesNothingWithMistakenSettings) {
  test::TempDir dir;
  test::PdfSpec spec = test::pages(1);
  spec.pages[0].texts = {test::textAt("Heading", 72, 700, 12, "Helvetica-Bold")};
  test::writePdf(spec, dir.file("in.pdf"));
  test::writeFile(dir.file("typo.svb"), R"({"format": "sorvane-cabinet", "version": 1,
    "cabinet": {"BuildSettings": {"NumLevels": 1, "Level0": {}, "Lastpage": 3}}})");
  const auto lenient = test::runSorvane(
      {"generate", dir.file("in.pdf"), "-s", dir.file("typo.svb"), "-o", dir.file("out.pdf")});
  EXPECT_EQ(lenient.exitCode, 1) << lenient.err; // written, but no clean success
  EXPECT_TRUE(std::filesystem::exists(dir.file("out.pdf")));
  const auto strict = test::runSorvane({"generate", dir.file("in.pdf"), "-s", dir.file("typo.svb"),
                                        "-o", dir.file("strict.pdf"), "--strict"});
  EXPECT_EQ(strict.exitCode, 3) << strict.err;
  EXPECT_NE(strict.err.find("--strict"), std::string::npos) << strict.err;
  EXPECT_FALSE(std::filesystem::exists(dir.file("strict.pdf")));
  const auto batch = test::runSorvane({"batch", "-s", dir.file("typo.svb"), "--output-dir",
                                       dir.file("out"), "--strict", dir.file("in.pdf")});
  EXPECT_EQ(batch.exitCode, 3) << batch.err;
  EXPECT_FALSE(std::filesystem::exists(dir.file("out")));
}

} // namespace
} // namespace sorvane
