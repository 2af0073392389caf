// `sorvane validate` and `sorvane sort` on fixture PDFs: reports, exit codes, and the written
// outline read back with QPDF.
#include <functional>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/support/fixture_helpers.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

using test::ActionSpec;
using test::OutlineSpec;

OutlineSpec item(std::string title, ActionSpec action, std::vector<OutlineSpec> children = {}) {
  return {std::move(title), {}, std::move(action), false, {}, 0, std::move(children)};
}
OutlineSpec item(std::string title, std::vector<OutlineSpec> children = {}) {
  return item(std::move(title), ActionSpec::goTo(0), std::move(children));
}

class DialogCommands : public ::testing::Test {
protected:
  std::string make(std::vector<OutlineSpec> outline,
                   std::optional<test::EncryptionSpec> encryption = {}) {
    test::PdfSpec spec = test::pages(3);
    spec.outline = std::move(outline);
    spec.encryption = encryption;
    test::writePdf(spec, dir.file("in.pdf"));
    return dir.file("in.pdf");
  }
  std::vector<std::string> titles(const std::string &path) { return test::outlineTitles(path); }
  test::TempDir dir;
};

TEST_F(DialogCommands, ValidateACleanOutline) {
  const std::string in = make({item("A", {item("A.1")}), item("B")});
  const auto r = test::runSorvane({"validate", in});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "No errors found\nTotal bookmarks processed: 3; bookmarks with problems: 0\n");
}

TEST_F(DialogCommands, ValidateReportsEachKindOfProblem) {
  const std::string in =
      make({item(" ", ActionSpec::goTo(11)), item("No action", ActionSpec{}),
            item("Parent", {item("Web", ActionSpec::uriTo("https://example.org"))}),
            item("Thread", ActionSpec::thread()), item("Script", ActionSpec::javaScript("x()")),
            item("No file", ActionSpec::launch(std::nullopt)),
            item("Missing", ActionSpec::goToR("missing.pdf", 0)), item("Fine")});
  const auto r = test::runSorvane({"validate", in});
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_EQ(r.out, "1. Bookmark: \">\"\n"
                   "     Empty bookmark title.\n"
                   "     Destination page is invalid.\n"
                   "     Bookmark is not linked to a page in the current document.\n"
                   "2. Bookmark: \">No action\"\n"
                   "     Empty bookmark action.\n"
                   "3. Bookmark: \">Parent>Web\"\n"
                   "     Bookmark is not linked to a page in the current document.\n"
                   "4. Bookmark: \">Script\"\n"
                   "     Destination page is invalid.\n"
                   "     Bookmark is not linked to a page in the current document.\n"
                   "5. Bookmark: \">No file\"\n"
                   "     Bookmark is not linked to a page in the current document.\n"
                   "     Destination file is not specified.\n"
                   "6. Bookmark: \">Missing\"\n"
                   "     Bookmark is not linked to a page in the current document.\n"
                   "     Destination file does not exist or invalid.\n"
                   "Total bookmarks processed: 9; bookmarks with problems: 6\n");

  // Without the two checks the web link and the missing file pass.
  const auto lenient = test::runSorvane({"validate", in, "--no-links", "--no-files", "--json"});
  EXPECT_EQ(lenient.exitCode, 1) << lenient.err;
  const auto json = nlohmann::json::parse(lenient.out);
  EXPECT_EQ(json["checked"], 9);
  ASSERT_EQ(json["problems"].size(), 4u);
  EXPECT_EQ(json["problems"][0]["titlePath"], ">");
  EXPECT_EQ(json["problems"][0]["messages"],
            (std::vector<std::string>{"Empty bookmark title.", "Destination page is invalid."}));
  EXPECT_EQ(json["problems"][1]["titlePath"], ">No action");
  EXPECT_EQ(json["problems"][2]["titlePath"], ">Script");
  EXPECT_EQ(json["problems"][3]["titlePath"], ">No file");
  EXPECT_EQ(json["problems"][3]["messages"],
            (std::vector<std::string>{"Destination file is not specified."}));
}

TEST_F(DialogCommands, ValidateTellsThePageOfAProblemBookmark) {
  const std::string in = make({item("", ActionSpec::goTo(2))});
  const auto r = test::runSorvane({"validate", in, "--json"});
  EXPECT_EQ(r.exitCode, 1) << r.err;
  const auto json = nlohmann::json::parse(r.out);
  EXPECT_EQ(json["problems"][0]["page"], 3);
  const auto text = test::runSorvane({"validate", in});
  EXPECT_NE(text.out.find("1. Bookmark: \">\" (page 3)\n"), std::string::npos) << text.out;
}

TEST_F(DialogCommands, ValidateWithoutBookmarksOrPermission) {
  const auto none = test::runSorvane({"validate", make({})});
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_NE(none.err.find("has no bookmarks"), std::string::npos) << none.err;
  const std::string locked = make({item("A")}, test::EncryptionSpec{"", "owner", false});
  const auto refused = test::runSorvane({"validate", locked});
  EXPECT_EQ(refused.exitCode, 3) << refused.err;
  EXPECT_EQ(test::runSorvane({"validate", locked, "--password", "owner"}).exitCode, 0);
  EXPECT_EQ(test::runSorvane({"validate"}).exitCode, 2);
}

TEST_F(DialogCommands, SortEachOption) {
  const std::string in = make({item("b", {item("y"), item("X"), item("x")}), item("A"),
                               item("a", {item("2"), item("10")}), item("B")});
  struct Case {
    std::vector<std::string> options;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {{}, {"A", "B", "a", "  2", "  10", "b", "  y", "  X", "  x"}},
      {{"--descending"}, {"b", "  y", "  X", "  x", "a", "  2", "  10", "B", "A"}},
      {{"--level", "2"}, {"b", "  X", "  x", "  y", "A", "a", "  10", "  2", "B"}},
      {{"--children"}, {"A", "B", "a", "  10", "  2", "b", "  X", "  x", "  y"}},
      {{"--level", "2", "--title", "a"}, {"b", "  y", "  X", "  x", "A", "a", "  10", "  2", "B"}},
  };
  for (const Case &c : cases) {
    std::vector<std::string> args = {"sort", in, "-o", dir.file("out.pdf")};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const auto r = test::runSorvane(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Bookmarks moved: "), std::string::npos) << r.out;
    EXPECT_EQ(test::qpdfCheck(dir.file("out.pdf")), 0);
    EXPECT_EQ(titles(dir.file("out.pdf")), c.expected) << testing::PrintToString(c.options);
  }
  // --ignore-case puts each pair of a letter together (in either order).
  const auto r = test::runSorvane({"sort", in, "-o", dir.file("out.pdf"), "--ignore-case"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  std::vector<std::string> top;
  for (const std::string &t : titles(dir.file("out.pdf")))
    if (t[0] != ' ')
      top.push_back(t);
  ASSERT_EQ(top.size(), 4u);
  EXPECT_EQ(std::tolower(top[0][0]), 'a');
  EXPECT_EQ(std::tolower(top[1][0]), 'a');
  EXPECT_EQ(std::tolower(top[2][0]), 'b');
  EXPECT_EQ(titles(in).front(), "b"); // the input is untouched
}

TEST_F(DialogCommands, SortRefusesWhatItCannotDo) {
  const std::string in = make({item("b"), item("a")});
  EXPECT_EQ(test::runSorvane({"sort", in}).exitCode, 2); // no output given
  EXPECT_EQ(test::runSorvane({"sort", in, "-o", in}).exitCode, 2);
  for (const char *level : {"0", "11", "x", "-1"})
    EXPECT_EQ(test::runSorvane({"sort", in, "--in-place", "--level", level}).exitCode, 2) << level;
  // A title on two lines names no bookmark; it is the user's mistake, not a script's.
  const auto twoLines = test::runSorvane({"sort", in, "--in-place", "--title", "A\nB"});
  EXPECT_EQ(twoLines.exitCode, 2) << twoLines.err;
  EXPECT_NE(twoLines.err.find("--title takes a title on one line"), std::string::npos)
      << twoLines.err;
  EXPECT_EQ(titles(in).front(), "b");
  const std::string locked = make({item("b"), item("a")}, test::EncryptionSpec{"", "owner", false});
  const auto refused = test::runSorvane({"sort", locked, "--in-place"});
  EXPECT_EQ(refused.exitCode, 3) << refused.err;
  EXPECT_EQ(titles(locked).front(), "b");
  const auto none = test::runSorvane({"sort", make({}), "--in-place"});
  EXPECT_EQ(none.exitCode, 1);
  // In place: the input is replaced by the sorted outline.
  const std::string again = make({item("b"), item("a")});
  EXPECT_EQ(test::runSorvane({"sort", again, "--in-place"}).exitCode, 0);
  EXPECT_EQ(titles(again), (std::vector<std::string>{"a", "b"}));
}

class GenerateDialogScripts : public ::testing::Test {
protected:
  void SetUp() override {
    test::PdfSpec spec = test::pages(3);
    spec.pages[0].texts = {test::textAt("Chapter One", 72, 700, 18, "Helvetica-Bold"),
                           test::textAt("1.1 Start", 72, 650, 12, "Times-Bold"),
                           test::textAt("Body text", 72, 600, 10, "Times-Roman")};
    spec.pages[1].texts = {test::textAt("1.2 Next", 72, 700, 12, "Times-Bold")};
    spec.pages[2].texts = {test::textAt("Chapter Two", 72, 700, 18, "Helvetica-Bold")};
    test::writePdf(spec, in());
  }
  std::string in() const { return dir.file("in.pdf"); }
  std::string script(const std::string &text) {
    test::writeFile(dir.file("steps.txt"), text);
    return dir.file("steps.txt");
  }
  std::vector<std::string> titles(const std::string &path) { return test::outlineTitles(path); }
  test::TempDir dir;
};

TEST_F(GenerateDialogScripts, LevelsMadeInTheDialogFindTheHeadings) {
  // Level 1 captured from a selection of the first heading, level 2 typed in.
  const auto r = test::runSorvane(
      {"generate", in(), "-o", dir.file("out.pdf"), "--select", "1:70,695,300,720", "--dialog",
       script("dialog \"Generate Bookmarks (Sorvane Plug-in)\"\n"
              "press \"Add...\"\npress \"&Set Font Style From Selected Text\"\npress OK\n"
              "press \"Add...\"\nselect fonts Helvetica-Bold\npress Remove\n"
              "press \"<< Add...\"\nselect fonts Times-Bold\npress OK\ntype size 12\n"
              "press OK\npress OK\n")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Bookmarks added: 4"), std::string::npos) << r.out;
  EXPECT_EQ(titles(dir.file("out.pdf")),
            (std::vector<std::string>{"Chapter One", "  1.1 Start", "  1.2 Next", "Chapter Two"}));
}

TEST_F(GenerateDialogScripts, ASettingsFileIsTheDialogsStart) {
  const auto made =
      test::runSorvane({"settings", "edit", dir.file("s.svb"), "--dialog",
                        script("press \"Add...\"\ntype size 18\npress OK\npress OK\n")});
  ASSERT_EQ(made.exitCode, 0) << made.err;
  EXPECT_EQ(made.out, "Wrote " + dir.file("s.svb") + " with 1 level\n");
  const auto shown = test::runSorvane({"settings", "show", dir.file("s.svb")});
  EXPECT_NE(shown.out.find("Level 1 : (Helvetica-Bold, Size 18.0 pt)"), std::string::npos)
      << shown.out;
  // The file opens in the dialog as it was saved.
  const auto look = test::runSorvane(
      {"generate", in(), "-s", dir.file("s.svb"), "--show-dialog", "-o", dir.file("never.pdf")});
  EXPECT_EQ(look.exitCode, 0) << look.err;
  EXPECT_NE(look.out.find("\"Level 1 : (Helvetica-Bold, Size 18.0 pt)\""), std::string::npos)
      << look.out;
  EXPECT_FALSE(std::filesystem::exists(dir.file("never.pdf")));
  const auto r = test::runSorvane({"generate", in(), "-s", dir.file("s.svb"), "-o",
                                   dir.file("out.pdf"), "--dialog", script("press OK\n")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(titles(dir.file("out.pdf")), (std::vector<std::string>{"Chapter One", "Chapter Two"}));
}

// The dialog's own yes/no questions ("Delete all levels?") are the script's to answer.
TEST_F(GenerateDialogScripts, AnAnswerStepAnswersTheDialogsQuestions) {
  ASSERT_EQ(test::runSorvane({"settings", "edit", dir.file("two.svb"), "--dialog",
                              script("press \"Add...\"\ntype size 18\npress OK\n"
                                     "press \"Add...\"\ntype size 12\npress OK\npress OK\n")})
                .exitCode,
            0);
  const auto levelsAfter = [&](const std::string &answer) {
    std::filesystem::copy_file(dir.file("two.svb"), dir.file("after.svb"),
                               std::filesystem::copy_options::overwrite_existing);
    const auto r = test::runSorvane({"settings", "edit", dir.file("after.svb"), "--dialog",
                                     script("press \"Remove All\"\n" + answer + "press OK\n")});
    EXPECT_EQ(r.exitCode, 0) << answer << r.err;
    return test::runSorvane({"settings", "show", dir.file("after.svb")}).out;
  };
  EXPECT_NE(levelsAfter("answer No\n").find("Level 2"), std::string::npos);
  // (OK needs a level: one is added after the others went.)
  const std::string emptied = levelsAfter("answer Yes\npress \"Add...\"\ntype size 14\npress OK\n");
  EXPECT_EQ(emptied.find("Level 2"), std::string::npos) << emptied;
  EXPECT_NE(emptied.find("Size 14.0 pt"), std::string::npos) << emptied;
  // Without an answer the script cannot be followed: said, and nothing written.
  const std::string before = test::readFile(dir.file("two.svb"));
  const auto unanswered = test::runSorvane({"settings", "edit", dir.file("two.svb"), "--dialog",
                                            script("press \"Remove All\"\npress OK\n")});
  EXPECT_EQ(unanswered.exitCode, 2) << unanswered.err;
  EXPECT_NE(unanswered.err.find("wants an answer"), std::string::npos) << unanswered.err;
  EXPECT_EQ(test::readFile(dir.file("two.svb")), before);
}

TEST_F(GenerateDialogScripts, ScriptsThatCannotBeFollowedAreUsageErrors) {
  const std::pair<std::string, std::string> cases[] = {
      {"press \"Nowhere\"\n", "has no control \"Nowhere\""},
      {"press \"Edit...\"\n", "\"Edit...\" is disabled"},
      {"jump\n", "line 1: unknown step"},
      {"press Close\npress OK\n", "steps left: line 2 (press)"},
      {"", "the script ended while the dialog"},
  };
  for (const auto &[text, why] : cases) {
    const auto r =
        test::runSorvane({"generate", in(), "-o", dir.file("out.pdf"), "--dialog", script(text)});
    EXPECT_EQ(r.exitCode, 2) << text << r.err;
    EXPECT_NE(r.err.find(why), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.pdf")));
  }
  const auto closed = test::runSorvane(
      {"generate", in(), "-o", dir.file("out.pdf"), "--dialog", script("press Close\n")});
  EXPECT_EQ(closed.exitCode, 1);
  EXPECT_NE(closed.err.find("closed without OK"), std::string::npos) << closed.err;
  EXPECT_EQ(test::runSorvane({"generate", in(), "-o", dir.file("o.pdf"), "--select", "1:0,0,1,1"})
                .exitCode,
            2);
  EXPECT_EQ(test::runSorvane({"generate", in(), "-o", dir.file("o.pdf"), "--select", "9:0,0,1,1",
                              "--dialog", script("press OK\n")})
                .exitCode,
            2);
  // A rectangle with no text in it selects nothing to capture a style from.
  for (const char *empty : {"1:100,100,100,100", "1:0,0,10,10"}) {
    const auto nothing = test::runSorvane({"settings", "edit", dir.file("x.svb"), "--pdf", in(),
                                           "--select", empty, "--dialog", script("press OK\n")});
    EXPECT_EQ(nothing.exitCode, 2) << empty << ": " << nothing.err;
    EXPECT_NE(nothing.err.find("no text lies in"), std::string::npos) << nothing.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.svb")));
  }
  EXPECT_EQ(test::runSorvane({"settings", "show", dir.file("x.svb"), "--show-dialog"}).exitCode, 2);
  EXPECT_EQ(test::runSorvane({"settings", "edit", dir.file("x.svb")}).exitCode, 2);
}

} // namespace
} // namespace sorvane
