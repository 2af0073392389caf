// `sorvane generate` and `sorvane batch` on fixture PDFs: the written outline, the summary,
// and what happens to bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "tests/support/pdf_builder.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

test::TextSpec text(std::string t, double y, double size, std::string font) {
  test::TextSpec s;
  s.text = std::move(t);
  s.y = y;
  s.size = size;
  s.font = std::move(font);
  return s;
}

// Chapters in 18-point and sections in 14-point Helvetica-Bold.
const char *kSettings = R"({ "format": "sorvane-cabinet", "version": 1,
  "cabinet": { "BuildSettings": {
    "InsertType": 1, "NumLevels": 2,
    "Level0": { "TextStyle": { "FontDesc": { "FontSize": 18.0,
                                             "Fonts": { "NumItems": 1, "0": "Helvetica-Bold" } } },
                "DispAttribs": { "IsBold": true, "ShowOpen": true } },
    "Level1": { "TextStyle": { "FontDesc": { "FontSize": 14.0,
                                             "Fonts": { "NumItems": 1, "0": "Helvetica-Bold" } } } }
  } } })";

class GenerateCommand : public ::testing::Test {
protected:
  void SetUp() override {
    test::PdfSpec spec = test::pages(4);
    spec.pages[0].texts = {text("Chapter 1 Basics", 700, 18, "Helvetica-Bold"),
                           text("Body.", 680, 10, "Times-Roman"),
                           text("1.1 First steps", 650, 14, "Helvetica-Bold")};
    spec.pages[2].texts = {text("Chapter 2 More", 700, 18, "Helvetica-Bold")};
    spec.outline = {{"Cover", {}, test::ActionSpec::goTo(0), false, {}, 0, {}}};
    test::writePdf(spec, input());
    test::writeFile(settings(), kSettings);
    original = test::readFile(input());
  }
  std::string input() const { return dir.file("book.pdf"); }
  std::string settings() const { return dir.file("book.svb"); }
  std::string original;
  test::TempDir dir;
};

TEST_F(GenerateCommand, JobsAndReadingEveryPageChangeNothingButTheTime) {
  std::string expected;
  for (const std::vector<std::string> &extra :
       {std::vector<std::string>{"--jobs", "1"}, {"-j", "3"}, {"--read-every-page", "-j", "2"}}) {
    std::vector<std::string> args = {"generate", input(), "-s",
                                     settings(), "-o",    dir.file("out.pdf")};
    args.insert(args.end(), extra.begin(), extra.end());
    const auto r = test::runSorvane(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto listed = test::runSorvane({"list", dir.file("out.pdf"), "--json"});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    if (expected.empty())
      expected = listed.out;
    EXPECT_EQ(listed.out, expected) << extra[0];
  }
  EXPECT_NE(expected.find("1.1 First steps"), std::string::npos);
  // Pages 2 and 4 hold body text or nothing: no level's font, so they need no reading.
  const auto told =
      test::runSorvane({"generate", input(), "-s", settings(), "-o", dir.file("told.pdf")});
  EXPECT_NE(told.out.find("; 2 pages left unread (none of their fonts is a level's); "),
            std::string::npos)
      << told.out;
  for (const char *bad : {"0", "65", "two", "2x", ""}) {
    const auto r = test::runSorvane(
        {"generate", input(), "-s", settings(), "-o", dir.file("bad.pdf"), "--jobs", bad});
    EXPECT_EQ(r.exitCode, 2) << bad;
    EXPECT_NE(r.err.find("--jobs takes a number of threads from 1 to 64"), std::string::npos)
        << bad << ": " << r.err;
  }
}

TEST_F(GenerateCommand, AddsTheHeadingsAndLeavesTheInputAlone) {
  const auto r =
      test::runSorvane({"generate", input(), "-s", settings(), "-o", dir.file("out.pdf")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Bookmarks added: 3; the outline now holds 4; "), std::string::npos)
      << r.err;
  EXPECT_EQ(test::readFile(input()), original);
  EXPECT_EQ(test::qpdfCheck(dir.file("out.pdf")), 0);
  const auto out = test::inspectPdf(dir.file("out.pdf")).outline;
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0].title, "Cover");
  EXPECT_EQ(out[1].title, "Chapter 1 Basics");
  EXPECT_EQ(out[1].flags, 2);
  EXPECT_EQ(out[1].count, 1);
  ASSERT_EQ(out[1].children.size(), 1u);
  EXPECT_EQ(out[1].children[0].title, "1.1 First steps");
  EXPECT_EQ(out[2].title, "Chapter 2 More");
  EXPECT_EQ(out[2].page, 2);
}

TEST_F(GenerateCommand, InPlaceReplacesTheInputAsAWhole) {
  const auto r = test::runSorvane({"generate", input(), "-s", settings(), "--in-place"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(test::readFile(input()).substr(0, original.size()), original); // appended to
  EXPECT_EQ(test::inspectPdf(input()).outline.size(), 3u);
}

TEST_F(GenerateCommand, WarnsAboutSettingsWithoutLevels) {
  test::writeFile(
      dir.file("empty.svb"),
      R"({"format": "sorvane-cabinet", "version": 1, "cabinet": {"BuildSettings": {}}})");
  const auto r = test::runSorvane(
      {"generate", input(), "-s", dir.file("empty.svb"), "-o", dir.file("out.pdf")});
  EXPECT_EQ(r.exitCode, 1) << r.err; // a run that did nothing does not end as a success
  EXPECT_NE(r.err.find("has no levels"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("nothing was written"), std::string::npos) << r.err;
  EXPECT_NE(r.out.find("Bookmarks added: 0; the outline now holds 1"), std::string::npos) << r.out;
  EXPECT_FALSE(std::filesystem::exists(dir.file("out.pdf")));
}

TEST_F(GenerateCommand, FindingNothingIsSaidAndIsNoSuccess) {
  std::string nothing = kSettings;
  for (size_t at; (at = nothing.find("Helvetica-Bold")) != std::string::npos;)
    nothing.replace(at, 14, "Courier");
  test::writeFile(dir.file("nothing.svb"), nothing);
  const auto r = test::runSorvane(
      {"generate", input(), "-s", dir.file("nothing.svb"), "-o", dir.file("out.pdf")});
  EXPECT_EQ(r.exitCode, 1) << r.err;
  // Nothing is set in Courier: the likely cause is the font.
  EXPECT_NE(r.err.find("no headings found: no text is set in the fonts the levels name"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir.file("out.pdf")));

  // The fonts are right but the size is not: the other rules are the cause.
  std::string sizes = kSettings;
  for (size_t at; (at = sizes.find("\"FontSize\": 1")) != std::string::npos;)
    sizes.replace(at, 13, "\"FontSize\": 7");
  test::writeFile(dir.file("sizes.svb"), sizes);
  const auto wrongSize = test::runSorvane(
      {"generate", input(), "-s", dir.file("sizes.svb"), "-o", dir.file("out.pdf")});
  EXPECT_EQ(wrongSize.exitCode, 1) << wrongSize.err;
  EXPECT_NE(wrongSize.err.find("text runs are set in the levels' fonts, but none passed their "
                               "size, pattern, indentation or area rules"),
            std::string::npos)
      << wrongSize.err;

  std::filesystem::create_directory(dir.path() / "out");
  const auto batch = test::runSorvane(
      {"batch", "-s", dir.file("nothing.svb"), "--output-dir", dir.file("out"), input()});
  EXPECT_EQ(batch.exitCode, 1) << batch.err;
  EXPECT_NE(batch.out.find("1 file: 0 done, 1 done with problems (see above), 0 failed"),
            std::string::npos)
      << batch.err;
  EXPECT_EQ(test::readFile(input()), original);
}

TEST_F(GenerateCommand, HeadingsLeftOutForWantOfAParentAreToldAndNoSuccess) {
  // Sections only: the chapter rule asks for 30 points, which nothing on the pages has.
  std::string sections = kSettings;
  sections.replace(sections.find("18.0"), 4, "30.0");
  test::writeFile(dir.file("sections.svb"), sections);
  const auto r = test::runSorvane(
      {"generate", input(), "-s", dir.file("sections.svb"), "-o", dir.file("out.pdf")});
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_NE(r.err.find("1 heading was left out because no heading of the level above"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.out.find("; 1 heading dropped (no heading of the level above); "), std::string::npos)
      << r.out;

  // -q keeps only errors: the run's problems are warnings, the exit code still says so.
  const auto quiet = test::runSorvane(
      {"generate", input(), "-s", dir.file("sections.svb"), "-o", dir.file("out.pdf"), "-q"});
  EXPECT_EQ(quiet.exitCode, 1) << quiet.err;
  EXPECT_EQ(quiet.err, "");

  // Kept under the nearest heading above (here: at the top) when the settings say so.
  std::string keep = sections;
  keep.replace(keep.find("\"NumLevels\""), 0, "\"KeepOrphanHeadings\": true, ");
  test::writeFile(dir.file("keep.svb"), keep);
  const auto kept = test::runSorvane(
      {"generate", input(), "-s", dir.file("keep.svb"), "-o", dir.file("out.pdf")});
  EXPECT_EQ(kept.exitCode, 0) << kept.err;
  EXPECT_NE(kept.out.find("Bookmarks added: 1;"), std::string::npos) << kept.out;
}

// A dry run writes nothing, so a document whose security forbids changes can have one.
TEST_F(GenerateCommand, ADryRunNeedsNoPermissionToChange) {
  test::PdfSpec spec = test::pages(1);
  spec.pages[0].texts = {text("Chapter 1 Basics", 700, 18, "Helvetica-Bold")};
  spec.encryption = test::EncryptionSpec{"", "owner", false};
  test::writePdf(spec, dir.file("locked.pdf"));
  const auto dry =
      test::runSorvane({"generate", dir.file("locked.pdf"), "-s", settings(), "--dry-run"});
  EXPECT_EQ(dry.exitCode, 0) << dry.err;
  EXPECT_NE(dry.out.find("Chapter 1 Basics"), std::string::npos) << dry.out;
  const auto change = test::runSorvane(
      {"generate", dir.file("locked.pdf"), "-s", settings(), "-o", dir.file("out.pdf")});
  EXPECT_EQ(change.exitCode, 3) << change.err;
}

TEST_F(GenerateCommand, ADryRunTellsWhatWouldBeMadeAndWritesNothing) {
  std::string sections = kSettings;
  sections.replace(sections.find("18.0"), 4, "30.0"); // chapters found nowhere
  test::writeFile(dir.file("sections.svb"), sections);
  const auto r = test::runSorvane({"generate", input(), "-s", settings(), "--dry-run", "--json"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto report = nlohmann::json::parse(r.out);
  ASSERT_FALSE(report["headings"].empty());
  const auto &first = report["headings"][0];
  EXPECT_EQ(first["level"], 1);
  EXPECT_EQ(first["font"], "Helvetica-Bold");
  EXPECT_EQ(first["size"], 18.0);
  EXPECT_EQ(first["box"].size(), 4u);
  EXPECT_NE(r.err.find("nothing was written"), std::string::npos) << r.err;
  EXPECT_EQ(test::readFile(input()), original);

  const auto orphans =
      test::runSorvane({"generate", input(), "-s", dir.file("sections.svb"), "--dry-run"});
  EXPECT_EQ(orphans.exitCode, 1) << orphans.err; // nothing would be added
  EXPECT_NE(orphans.out.find("Dropped (no heading of the level above): level 2, page "),
            std::string::npos)
      << orphans.out;
  EXPECT_EQ(
      test::runSorvane({"generate", input(), "-s", settings(), "--json", "-o", dir.file("x.pdf")})
          .exitCode,
      2);
  EXPECT_FALSE(std::filesystem::exists(dir.file("x.pdf")));
}

TEST_F(GenerateCommand, PasswordsComeFromAFileOrTheEnvironmentToo) {
  test::PdfSpec spec = test::pages(1);
  spec.pages[0].texts = {text("Chapter 1 Basics", 700, 18, "Helvetica-Bold")};
  spec.encryption = test::EncryptionSpec{"user", "owner", true};
  test::writePdf(spec, dir.file("locked.pdf"));
  const std::vector<std::string> base = {"generate", dir.file("locked.pdf"), "-s", settings(),
                                         "-o",       dir.file("out.pdf")};
  EXPECT_EQ(test::runSorvane(base).exitCode, 3); // no password

  test::writeFile(dir.file("pw.txt"), "user\n");
  auto withFile = base;
  withFile.insert(withFile.end(), {"--password-file", dir.file("pw.txt")});
  const auto fromFile = test::runSorvane(withFile);
  EXPECT_EQ(fromFile.exitCode, 0) << fromFile.err;

  auto missing = base;
  missing.insert(missing.end(), {"--password-file", dir.file("none.txt")});
  EXPECT_EQ(test::runSorvane(missing).exitCode, 3);

  ::setenv("SORVANE_PASSWORD", "user", 1);
  const auto fromEnvironment = test::runSorvane(base);
  ::unsetenv("SORVANE_PASSWORD");
  EXPECT_EQ(fromEnvironment.exitCode, 0) << fromEnvironment.err;
}

TEST_F(GenerateCommand, BatchMakesItsOutputFolder) {
  const auto r = test::runSorvane(
      {"batch", "-s", settings(), "--output-dir", dir.file("new/deeper"), input()});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(test::inspectPdf(dir.file("new/deeper/book.pdf")).outline.size(), 3u);
}

TEST_F(GenerateCommand, QuietTellsOnlyErrors) {
  std::string typo = kSettings;
  typo.replace(typo.find("\"InsertType\""), 12, "\"Insert\"");
  test::writeFile(dir.file("typo.svb"), typo);
  const auto quiet = test::runSorvane(
      {"generate", input(), "-s", dir.file("typo.svb"), "-o", dir.file("out.pdf"), "--quiet"});
  EXPECT_EQ(quiet.exitCode, 1); // the settings mistake still counts
  EXPECT_EQ(quiet.err, "") << quiet.err;
  EXPECT_NE(quiet.out.find("Bookmarks added: 3"), std::string::npos) << quiet.out;
  const auto loud =
      test::runSorvane({"generate", input(), "-s", dir.file("typo.svb"), "-o", dir.file("o2.pdf")});
  EXPECT_NE(loud.err.find("warning"), std::string::npos) << loud.err;

  const auto failed = test::runSorvane(
      {"generate", dir.file("none.pdf"), "-s", settings(), "-o", dir.file("o3.pdf"), "-q"});
  EXPECT_EQ(failed.exitCode, 3);
  EXPECT_NE(failed.err.find("sorvane: "), std::string::npos) << failed.err;
}

TEST_F(GenerateCommand, SaysWhereTheResultGoes) {
  EXPECT_EQ(test::runSorvane({"generate", input(), "-s", settings()}).exitCode, 2);
  EXPECT_EQ(test::runSorvane({"generate", input(), "-o", dir.file("o.pdf")}).exitCode, 2);
  EXPECT_EQ(test::runSorvane(
                {"generate", input(), "-s", settings(), "-o", dir.file("o.pdf"), "--in-place"})
                .exitCode,
            2);
}

TEST_F(GenerateCommand, BadInputGivesOneLineAndChangesNothing) {
  test::writeFile(dir.file("broken.svb"), R"({"format": "sorvane-cabinet", "version": 1,
    "cabinet": {"BuildSettings": {"NumLevels": 1, "NumLevels": 2}}})");
  test::writeFile(dir.file("other.svb"),
                  R"({"format": "sorvane-cabinet", "version": 1, "cabinet": {"Sorting": {}}})");
  test::writeFile(dir.file("notes.pdf"), "not a pdf");
  struct Case {
    std::vector<std::string> args;
    int code;
    const char *says;
  };
  const Case cases[] = {
      {{"generate", input(), "-s", dir.file("broken.svb"), "-o", dir.file("o.pdf")}, 3, "twice"},
      {{"generate", input(), "-s", dir.file("other.svb"), "-o", dir.file("o.pdf")},
       3,
       "BuildSettings"},
      {{"generate", dir.file("notes.pdf"), "-s", settings(), "-o", dir.file("o.pdf")},
       3,
       "not a PDF"},
      {{"generate", input(), "-s", settings(), "-o", dir.file("no/such/dir/o.pdf")},
       4,
       "cannot write"},
  };
  for (const Case &c : cases) {
    const auto r = test::runSorvane(c.args);
    EXPECT_EQ(r.exitCode, c.code) << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("sorvane:"), r.err.rfind("sorvane:")) << "one line: " << r.err;
  }
  EXPECT_EQ(test::readFile(input()), original);
  EXPECT_FALSE(std::filesystem::exists(dir.file("o.pdf")));
}

TEST_F(GenerateCommand, AFileThatMayNotBeChangedNeedsItsOwnerPassword) {
  test::PdfSpec spec = test::pages(1);
  spec.pages[0].texts = {text("Chapter 1 Basics", 700, 18, "Helvetica-Bold")};
  spec.encryption = test::EncryptionSpec{"", "owner", false};
  test::writePdf(spec, dir.file("locked.pdf"));
  const auto refused =
      test::runSorvane({"generate", dir.file("locked.pdf"), "-s", settings(), "--in-place"});
  EXPECT_EQ(refused.exitCode, 3);
  EXPECT_NE(refused.err.find("do not permit changes (open it with its owner password, --password)"),
            std::string::npos)
      << refused.err;
  const auto owner = test::runSorvane(
      {"generate", dir.file("locked.pdf"), "-s", settings(), "--in-place", "--password", "owner"});
  EXPECT_EQ(owner.exitCode, 0) << owner.err;
  EXPECT_EQ(test::inspectPdf(dir.file("locked.pdf"), "owner").outline.size(), 1u);
}

// The lines of `text` without the last one (the summary, which holds the time), sorted.
std::vector<std::string> fileLines(const std::string &text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  if (!lines.empty())
    lines.pop_back();
  std::sort(lines.begin(), lines.end());
  return lines;
}

// A batch that is one share of a large job: files from a list, the share's part of them, a
// results line per file, and a run again that leaves out what is done.
TEST_F(GenerateCommand, BatchSharesTakeEachListedFileOnceAndSayHowItWent) {
  test::writeFile(dir.file("broken.pdf"), "not a pdf");
  std::string list = dir.file("broken.pdf") + '\0';
  for (int i = 0; i < 6; ++i) {
    const std::string name = dir.file("book " + std::to_string(i) + ".pdf");
    std::filesystem::copy_file(input(), name);
    list += name + '\0';
  }
  test::writeFile(dir.file("list0"), list);
  std::vector<nlohmann::json> records;
  for (const char *share : {"1/2", "2/2"}) {
    const auto r = test::runSorvane({"batch", "-s", settings(), "--output-dir", dir.file("out"),
                                     "--files-from", dir.file("list0"), "-0", "--shard", share,
                                     "--results", dir.file("results.jsonl"), "-j", "2"});
    EXPECT_TRUE(r.exitCode == 0 || r.exitCode == 4) << r.err;
  }
  std::istringstream lines(test::readFile(dir.file("results.jsonl")));
  for (std::string line; std::getline(lines, line);)
    records.push_back(nlohmann::json::parse(line));
  ASSERT_EQ(records.size(), 7u); // every file once, whichever share took it
  std::set<std::string> inputs;
  for (const nlohmann::json &r : records) {
    inputs.insert(r["input"].get<std::string>());
    if (r["input"] == dir.file("broken.pdf")) {
      EXPECT_EQ(r["status"], "failed");
      EXPECT_TRUE(r["output"].is_null());
      ASSERT_EQ(r["problems"].size(), 1u);
    } else {
      EXPECT_EQ(r["status"], "done") << r.dump();
      EXPECT_EQ(r["bookmarks"], 3);
      EXPECT_TRUE(std::filesystem::exists(r["output"].get<std::string>()));
    }
    EXPECT_GE(r["seconds"].get<double>(), 0.0);
  }
  EXPECT_EQ(inputs.size(), 7u);

  // Again with --skip-done: only the file that failed is tried.
  const auto again = test::runSorvane({"batch", "-s", settings(), "--output-dir", dir.file("out"),
                                       "--files-from", dir.file("list0"), "-0", "--results",
                                       dir.file("results.jsonl"), "--skip-done"});
  EXPECT_EQ(again.exitCode, 4) << again.err;
  EXPECT_NE(again.err.find("6 files left out: they are done in "), std::string::npos) << again.err;
  EXPECT_NE(again.out.find("1 file: 0 done, 1 failed"), std::string::npos) << again.out;

  for (const std::vector<std::string> &wrong : {std::vector<std::string>{"--shard", "3/2"},
                                                {"--shard", "0/2"},
                                                {"--shard", "1"},
                                                {"--skip-done"},
                                                {"-0"}}) {
    std::vector<std::string> args = {"batch", "-s", settings(), "--output-dir", dir.file("o2")};
    args.insert(args.end(), wrong.begin(), wrong.end());
    if (wrong.front() != "-0")
      args.push_back(input());
    EXPECT_EQ(test::runSorvane(args).exitCode, 2) << wrong.front();
  }
  EXPECT_EQ(test::runSorvane({"batch", "-s", settings(), "--output-dir", dir.file("o2"),
                              "--files-from", dir.file("missing-list")})
                .exitCode,
            3);
}

TEST_F(GenerateCommand, BatchInSeveralProcessesSaysAndWritesWhatOneProcessDoes) {
  test::writeFile(dir.file("broken.pdf"), "not a pdf");
  std::vector<std::string> inputs = {dir.file("broken.pdf")};
  for (int i = 0; i < 5; ++i) {
    inputs.push_back(dir.file("book" + std::to_string(i) + ".pdf"));
    std::filesystem::copy_file(input(), inputs.back());
  }
  std::vector<std::string> expectedLines;
  std::vector<std::string> expectedErr;
  std::string expectedOutline;
  for (const char *jobs : {"1", "3"}) {
    SCOPED_TRACE(std::string("--jobs ") + jobs);
    const std::string out = dir.file(std::string("out") + jobs);
    std::vector<std::string> args = {"batch", "-s", settings(), "--output-dir", out, "-j", jobs};
    args.insert(args.end(), inputs.begin(), inputs.end());
    const auto r = test::runSorvane(args);
    EXPECT_EQ(r.exitCode, 4) << r.err;
    EXPECT_NE(r.out.find("6 files: 5 done, 1 failed; "), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("broken.pdf: failed"), std::string::npos) << r.err;
    // Progress and problems: each file's lines come whole, so the same lines either way; each
    // progress line names its file.
    std::vector<std::string> errLines = fileLines(r.err + "\n");
    for (const std::string &line : errLines) {
      if (line.find("Scanning for bookmarks") != std::string::npos) {
        EXPECT_EQ(line.rfind(dir.file("book"), 0), 0u) << line;
      }
    }
    if (expectedErr.empty())
      expectedErr = errLines;
    EXPECT_EQ(errLines, expectedErr);
    const std::vector<std::string> lines = fileLines(r.out);
    EXPECT_EQ(lines.size(), 5u);
    std::string outlines;
    for (int i = 0; i < 5; ++i)
      outlines += test::runSorvane({"list", out + "/book" + std::to_string(i) + ".pdf"}).out;
    if (expectedLines.empty()) {
      expectedLines = lines;
      expectedOutline = outlines;
    }
    // Each line names its own folder; the rest is the same.
    std::vector<std::string> same = lines;
    for (std::string &line : same)
      if (const size_t at = line.find(out); at != std::string::npos)
        line.replace(at, out.size(), dir.file("out1"));
    EXPECT_EQ(same, expectedLines);
    EXPECT_EQ(outlines, expectedOutline);
  }
  EXPECT_NE(expectedOutline.find("1.1 First steps"), std::string::npos) << expectedOutline;
}

TEST_F(GenerateCommand, BatchGoesOnAfterAFailureAndSaysSo) {
  test::writeFile(dir.file("notes.pdf"), "not a pdf");
  std::filesystem::create_directory(dir.path() / "out");
  const auto r = test::runSorvane(
      {"batch", "-s", settings(), "--output-dir", dir.file("out"), dir.file("notes.pdf"), input()});
  EXPECT_EQ(r.exitCode, 4);
  EXPECT_NE(r.err.find("notes.pdf: failed"), std::string::npos) << r.err;
  EXPECT_NE(r.out.find("book.pdf: 3 bookmarks added, 4 in all"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("2 files: 1 done, 1 failed"), std::string::npos) << r.out;
  EXPECT_EQ(test::inspectPdf(dir.file("out/book.pdf")).outline.size(), 3u);

  const auto suffixed = test::runSorvane({"batch", "-s", settings(), "--suffix", "-bm", input()});
  EXPECT_EQ(suffixed.exitCode, 0) << suffixed.err;
  EXPECT_TRUE(std::filesystem::exists(dir.file("book-bm.pdf")));
  EXPECT_EQ(test::readFile(input()), original);
}

} // namespace
} // namespace sorvane
