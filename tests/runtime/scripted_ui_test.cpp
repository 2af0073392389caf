// The scripted UI backend: reading scripts, driving a dialog as a user would, failing loudly, and
// the per-user profile.
#include "host/runtime/scripted_ui.h"

#include <gtest/gtest.h>
#include <sstream>

#include "host/base/file_io.h"
#include "sdk/host_error.h"
#include "tests/support/temp_dir.h"

namespace sorvane::host {
namespace {

using ui::ControlKind;

// A small dialog with one control of each kind a script touches.
class Sample final : public ui::Dialog {
public:
  Sample() : ui::Dialog("Sample") {
    add(ControlKind::CheckBox, 10, "box", "&Use the box");
    add(ControlKind::Edit, 11, "count", "Count:").digitsOnly = true;
    add(ControlKind::DropDown, 12, "", "Colour:").items = {"Red", "Blue"};
    add(ControlKind::Radio, 13, "", "Up").group = 1;
    add(ControlKind::Radio, 14, "", "Down").group = 1;
    add(ControlKind::Button, 15, "", "Ask...");
    add(ControlKind::Tree, 16, "tree", "");
    add(ControlKind::Button, 17, "", "Locked").enabled = false;
    add(ControlKind::Button, ui::kIdOk, "", "OK");
    add(ControlKind::Button, ui::kIdCancel, "", "Cancel");
  }
  void onInit() override {
    checkRadio(13);
    const int a = addTreeItem(16, -1, "A", 0, 1);
    addTreeItem(16, a, "A1", 0, 2);
    addTreeItem(16, -1, "B", 0, 3);
  }
  void onEvent(int id, ui::Event event) override {
    events.push_back(std::to_string(id) + (event == ui::Event::Clicked         ? " clicked"
                                           : event == ui::Event::DoubleClicked ? " double"
                                                                               : " changed"));
    if (id == 15)
      answer = platform->messageBox("Really?", title(), ui::MessageButtons::YesNo);
  }
  ui::UiServices *platform = nullptr;
  std::vector<std::string> events;
  ui::MessageAnswer answer = ui::MessageAnswer::Ok;
};

ui::DialogResult runScript(ScriptedUi &ui, Sample &dialog, std::string_view script) {
  ui.setScript(parseDialogScript(script));
  dialog.platform = &ui;
  return ui.runModal(dialog);
}

TEST(ScriptedUi, ReadsStepsWithQuotesEscapesAndComments) {
  const auto steps = parseDialogScript("# a comment\n\ntype \"Count:\" \"12\"  # trailing\n"
                                       "select tree \"A\" \"A1\"\ntype x \"a\\nb \\\"c\\\"\"\n");
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(steps[0].line, 3);
  EXPECT_EQ(steps[0].args, (std::vector<std::string>{"Count:", "12"}));
  EXPECT_EQ(steps[1].args, (std::vector<std::string>{"tree", "A", "A1"}));
  EXPECT_EQ(steps[2].args[1], "a\nb \"c\"");
}

TEST(ScriptedUi, RefusesBadScriptsNamingTheLine) {
  const char *bad[] = {"press",       "jump \"OK\"",    "type \"a\" \"unclosed",
                       "interrupt 0", "colour 1 2 300", "press \"OK\" \"Cancel\""};
  for (const char *script : bad) {
    try {
      parseDialogScript(std::string("\n") + script);
      ADD_FAILURE() << script;
    } catch (const HostError &e) {
      EXPECT_NE(e.text().find("line 2"), std::string::npos) << e.text();
    }
  }
}

TEST(ScriptedUi, DrivesControlsAsAUserWould) {
  ScriptedUi ui;
  Sample d;
  EXPECT_EQ(runScript(ui, d,
                      "dialog \"Sample\"\ncheck \"Use the box\"\ncheck \"Use the box\"\n"
                      "type Count 42\nchoose \"Colour\" Blue\ncheck Down\n"
                      "double-click tree A A1\npress OK\n"),
            ui::DialogResult::Ok);
  EXPECT_FALSE(ui.failure()) << *ui.failure();
  EXPECT_TRUE(d.checked(10));
  EXPECT_EQ(d.control(11).value, "42");
  EXPECT_EQ(d.control(12).selected, 1);
  EXPECT_FALSE(d.checked(13));
  EXPECT_TRUE(d.checked(14));
  EXPECT_EQ(d.control(16).selected, 1);
  EXPECT_TRUE(d.control(16).tree[0].expanded); // the parent of a selected entry opens
  // A second "check" of a checked box changes nothing and tells the dialog nothing.
  EXPECT_EQ(d.events, (std::vector<std::string>{"10 clicked", "11 changed", "12 changed",
                                                "14 clicked", "16 changed", "16 double"}));
  EXPECT_TRUE(ui.finished());
}

TEST(ScriptedUi, AStepThatCannotBeDoneFailsLoudlyAndCancels) {
  const std::pair<const char *, const char *> cases[] = {
      {"press \"Nowhere\"", "has no control \"Nowhere\""},
      {"press Locked", "\"Locked\" is disabled"},
      {"type Count 4x", "takes digits only"},
      {"choose Colour Green", "has no entry \"Green\" (it has \"Red\", \"Blue\")"},
      {"select tree A B", "has no entry"},
      {"dialog \"Other\"", "the open dialog is \"Sample\""},
      {"uncheck Up", "radio button"},
      {"file \"/tmp/x\"", "asked none"},
      {"check Count", "not a check box"},
      {"check box", ""}, // fine, then the script ends with the dialog open
  };
  for (const auto &[script, why] : cases) {
    ScriptedUi ui;
    Sample d;
    EXPECT_EQ(runScript(ui, d, script), ui::DialogResult::Cancel) << script;
    ASSERT_TRUE(ui.failure()) << script;
    EXPECT_NE(ui.failure()->find(why), std::string::npos) << *ui.failure();
    EXPECT_NE(ui.failure()->find(std::string_view(why).empty() ? "script ended" : "line 1"),
              std::string::npos)
        << *ui.failure();
  }
}

TEST(ScriptedUi, MessageBoxesTakeTheirAnswerFromTheScript) {
  {
    ScriptedUi ui;
    Sample d;
    runScript(ui, d, "press \"Ask...\"\nanswer Yes\npress OK");
    EXPECT_FALSE(ui.failure());
    EXPECT_EQ(d.answer, ui::MessageAnswer::Yes);
  }
  {
    ScriptedUi ui; // a question without an answer is a failure, and counts as No
    Sample d;
    runScript(ui, d, "press \"Ask...\"\npress OK");
    EXPECT_EQ(d.answer, ui::MessageAnswer::No);
    ASSERT_TRUE(ui.failure());
    EXPECT_NE(ui.failure()->find("Really?"), std::string::npos);
  }
  {
    ScriptedUi ui; // an answer the box does not offer
    Sample d;
    runScript(ui, d, "press \"Ask...\"\nanswer OK");
    ASSERT_TRUE(ui.failure());
    EXPECT_NE(ui.failure()->find("no button \"OK\""), std::string::npos);
  }
}

TEST(ScriptedUi, ShowsDialogsAndCancelsThemWhenTheScriptIsDone) {
  ScriptedUi ui;
  std::ostringstream shown;
  ui.setShowDialogs(&shown);
  ui.setCancelWhenDone(true);
  Sample d;
  EXPECT_EQ(runScript(ui, d, ""), ui::DialogResult::Cancel);
  EXPECT_FALSE(ui.failure());
  const std::string text = shown.str();
  EXPECT_NE(text.find("dialog \"Sample\""), std::string::npos) << text;
  EXPECT_NE(text.find("check box \"&Use the box\" [ ]"), std::string::npos) << text;
  EXPECT_NE(text.find("edit count \"Count:\" = \"\""), std::string::npos) << text;
  EXPECT_NE(text.find("radio \"Up\" (o)"), std::string::npos) << text;
  EXPECT_NE(text.find("button \"Locked\" (disabled)"), std::string::npos) << text;
  EXPECT_NE(text.find("    - \"A\"\n      - \"A1\"\n    - \"B\""), std::string::npos) << text;
}

TEST(ScriptedUi, FileChoosersAddTheDefaultExtensionAndAskBeforeReplacing) {
  test::TempDir dir;
  writeFileAtomically(dir.file("old.svb"), "x");
  ui::FileRequest save;
  save.save = true;
  save.defaultExtension = "svb";
  save.overwritePrompt = true;
  ScriptedUi ui;
  ui.setScript(parseDialogScript("file \"" + dir.file("new") + "\"\nfile \"" + dir.file("old.svb") +
                                 "\"\nanswer No\nno-file\n"));
  EXPECT_EQ(ui.chooseFile(save), dir.file("new.svb"));
  EXPECT_EQ(ui.chooseFile(save), std::nullopt); // not replaced
  EXPECT_EQ(ui.chooseFile(save), std::nullopt);
  EXPECT_FALSE(ui.failure());
  EXPECT_EQ(ui.chooseFile(save), std::nullopt); // no step left: a failure
  EXPECT_TRUE(ui.failure());
}

TEST(ScriptedUi, TheProfileLivesInAnIniFileCreatedOnFirstWrite) {
  test::TempDir dir;
  const std::string path = dir.file("Quillon/Sorvane.ini");
  {
    UserProfile profile;
    profile.openFile(path);
    EXPECT_EQ(profile.getInt("BookmarkValidating", "WarnAboutOutsideLinks", 1), 1);
    EXPECT_EQ(::access(path.c_str(), F_OK), -1); // reading creates nothing
    profile.setInt("BookmarkValidating", "WarnAboutOutsideLinks", 0);
    profile.setInt("Other", "Key", -7);
  }
  EXPECT_EQ(readWholeFile(path, 1000),
            "[BookmarkValidating]\nWarnAboutOutsideLinks=0\n\n[Other]\nKey=-7\n");
  UserProfile again;
  again.openFile(path);
  EXPECT_EQ(again.getInt("BookmarkValidating", "WarnAboutOutsideLinks", 1), 0);
  EXPECT_EQ(again.getInt("Other", "Key", 0), -7);
  EXPECT_EQ(again.getInt("Other", "Missing", 5), 5);
  writeFileAtomically(path, "[S]\nA = 3 \nB=x\nnot a line\n");
  again.openFile(path);
  EXPECT_EQ(again.getInt("S", "A", 0), 3);
  EXPECT_EQ(again.getInt("S", "B", 9), 9); // not a number: the fallback
  // Its folder, where a plug-in keeps what it remembers, is made when asked for.
  UserProfile elsewhere;
  elsewhere.openFile(dir.file("Other/Sorvane.ini"));
  EXPECT_EQ(elsewhere.folder(), dir.file("Other"));
  EXPECT_EQ(::access(dir.file("Other").c_str(), W_OK), 0);
  EXPECT_EQ(UserProfile().folder(), ""); // in memory: no folder
  test::writeFile(dir.file("file"), "x");
  elsewhere.openFile(dir.file("file/Sorvane.ini"));
  EXPECT_EQ(elsewhere.folder(), ""); // a file is in the way
}

TEST(ScriptedUi, TheProfileFolderFollowsXdgConfigHome) {
  const char *saved = std::getenv("XDG_CONFIG_HOME");
  const std::string keep = saved ? saved : "";
  ::setenv("XDG_CONFIG_HOME", "/some/where", 1);
  EXPECT_EQ(UserProfile::folderFor("Quillon"), "/some/where/Quillon");
  ::setenv("XDG_CONFIG_HOME", "relative", 1); // not an absolute path: ignored, as XDG says
  EXPECT_NE(UserProfile::folderFor("Quillon"), "relative/Quillon");
  if (saved)
    ::setenv("XDG_CONFIG_HOME", keep.c_str(), 1);
  else
    ::unsetenv("XDG_CONFIG_HOME");
}

} // namespace
} // namespace sorvane::host
