// The plug-in's dialogs driven through the scripted backend as a user would: Sort with its
// level list, title filter and bookmark picker; Validate with its report, options and Cancel;
// the About box and Help.
#include <gtest/gtest.h>

#include "host/pdf/outline_listing.h"
#include "host/runtime/view_services.h"
#include "plugin/engine/settings_files.h"
#include "plugin/outline/outline_walk.h"
#include "plugin/shell/commands.h"
#include "plugin/shell/plugin_state.h"
#include "plugin/ui/about_box.h"
#include "plugin/ui/bookmark_picker.h"
#include "plugin/ui/sort_dialog.h"
#include "plugin/ui/validate_dialog.h"
#include "sdk/imported_tables.h"
#include "tests/support/fixture_helpers.h"
#include "tests/support/open_doc.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/raw_pdf.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

using test::ActionSpec;
using test::OutlineSpec;

OutlineSpec item(std::string title, ActionSpec action, std::vector<OutlineSpec> children = {},
                 bool open = false) {
  return {std::move(title), {}, std::move(action), open, {}, 0, std::move(children)};
}
OutlineSpec item(std::string title, std::vector<OutlineSpec> children = {}) {
  return item(std::move(title), ActionSpec::goTo(0), std::move(children));
}

class Dialogs : public ::testing::Test {
protected:
  void SetUp() override {
    plugInState().defaultsFile = dir.file("sorvane.cfs");
    buildMenus();
    ui().setDialogObserver([this](const ui::Dialog &d) { closed.push_back(describeDialog(d)); });
  }
  void TearDown() override { plugInState().defaultsFile.clear(); }

  void open(std::vector<OutlineSpec> outline, int pages = 3) {
    test::PdfSpec spec = test::pages(pages);
    spec.outline = std::move(outline);
    test::writePdf(spec, dir.file("d.pdf"));
    doc = std::make_unique<test::OpenDoc>(host, dir.file("d.pdf"));
    view().setActiveDoc(doc->handle());
  }
  void script(std::string_view text) { test::setScript(ui(), text); }
  void expectScriptDone() { test::expectScriptDone(ui()); }
  // The outline as "title" per bookmark, children indented by two blanks.
  std::vector<std::string> outline() {
    std::vector<std::string> out;
    for (const auto &e : host::listOutline(host.pdf(), doc->handle()).entries)
      out.push_back(std::string(size_t(2 * (e.depth - 1)), ' ') + e.title);
    return out;
  }
  BookmarkHandle bookmark(const std::string &title) {
    BookmarkHandle found;
    outlineWalk(
        pd().docGetBookmarkRoot(doc->handle()),
        [&](BookmarkHandle bm) {
          if (getCleanTitle(bm) == title)
            found = bm;
          return !found;
        },
        true);
    return found;
  }
  host::AcroView &view() { return host.provider().acroView(); }
  host::ScriptedUi &ui() { return host.ui(); }
  PDModelTable &pd() { return host.pdf().pdModel(); }

  test::TestHost host;
  test::TempDir dir;
  std::unique_ptr<test::OpenDoc> doc;
  std::vector<std::string> closed; // each dialog as it closed
};

// ---- Sort

TEST_F(Dialogs, SortTitleFieldAndSelectFollowTheFilterBox) {
  SortOptions options;
  SortDialog d(options, "");
  d.onInit(); // no document open
  EXPECT_FALSE(d.control(SortDialog::kIdTitle).enabled);
  EXPECT_FALSE(d.control(SortDialog::kIdPick).enabled);
  d.setChecked(SortDialog::kIdFilter, true);
  d.handle(SortDialog::kIdFilter, ui::Event::Clicked);
  EXPECT_TRUE(d.control(SortDialog::kIdTitle).enabled);
  EXPECT_FALSE(d.control(SortDialog::kIdPick).enabled); // nothing to pick from
  open({item("A")});
  d.handle(SortDialog::kIdFilter, ui::Event::Clicked);
  EXPECT_TRUE(d.control(SortDialog::kIdPick).enabled);
  d.setChecked(SortDialog::kIdFilter, false);
  d.handle(SortDialog::kIdFilter, ui::Event::Clicked);
  EXPECT_FALSE(d.control(SortDialog::kIdTitle).enabled);
  EXPECT_FALSE(d.control(SortDialog::kIdPick).enabled);
}

TEST_F(Dialogs, SortOpensWithTheRememberedOptions) {
  SortOptions stored;
  stored.level = 3;
  stored.inverseOrder = true;
  stored.title = "Appendix";
  saveDefaults(plugInState().defaultsFile, kSortingKey,
               [&](CabinetHandle cab) { stored.write(cab); });
  SortOptions options;
  SortDialog d(options, plugInState().defaultsFile);
  d.onInit();
  const ui::Control &level = d.control(SortDialog::kIdLevel);
  ASSERT_EQ(level.items.size(), 10u);
  EXPECT_EQ(level.items[size_t(level.selected)], "Level 4");
  EXPECT_TRUE(d.checked(SortDialog::kIdDescending));
  EXPECT_FALSE(d.checked(SortDialog::kIdAscending));
  EXPECT_EQ(d.control(SortDialog::kIdTitle).value, "Appendix");
  // A level outside the list selects nothing, and the dialog gives back 0 for it.
  options.level = 12;
  SortDialog outside(options, "");
  outside.onInit();
  EXPECT_EQ(outside.control(SortDialog::kIdLevel).selected, -1);
  outside.onOk();
  EXPECT_EQ(options.level, 0);
}

TEST_F(Dialogs, SortCancelSortsNothingAndStillRemembersTheOptions) {
  open({item("b"), item("A")});
  script("dialog \"Sort Bookmarks\"\ncheck Descending\ncheck \"Ignore text case\"\n"
         "press Cancel");
  EXPECT_TRUE(view().executeItem("TAVO:BookmarkSort"));
  expectScriptDone();
  EXPECT_EQ(outline(), (std::vector<std::string>{"b", "A"}));
  SortOptions remembered;
  loadDefaults(plugInState().defaultsFile, [&](CabinetHandle cab) { remembered.read(cab); });
  EXPECT_TRUE(remembered.inverseOrder);
  EXPECT_TRUE(remembered.ignoreCase);
}

TEST_F(Dialogs, SortOkSortsTheChosenLevel) {
  open({item("b", {item("y"), item("x")}), item("A"), item("a"), item("B")});
  script("choose \"Select bookmark level to sort\" \"Level 1\"\npress OK");
  EXPECT_TRUE(view().executeItem("TAVO:BookmarkSort"));
  expectScriptDone();
  // Upper case first; the child list keeps its order ("Sort child bookmarks" is clear).
  EXPECT_EQ(outline(), (std::vector<std::string>{"A", "B", "a", "b", "  y", "  x"}));
  EXPECT_EQ(ui().waitCursorDepth(), 0);

  script("check Descending\ncheck \"Sort child bookmarks\"\npress OK");
  EXPECT_TRUE(view().executeItem("TAVO:BookmarkSort"));
  expectScriptDone();
  EXPECT_EQ(outline(), (std::vector<std::string>{"b", "  y", "  x", "a", "B", "A"}));
}

TEST_F(Dialogs, SortByTitlePickedFromTheOutline) {
  open({item("Intro", {item("b"), item("a")}), item("Appendix", {item("z"), item("y")})});
  script("choose level \"Level 2\"\ncheck \"Sort only bookmark(s) with the following title:\"\n"
         "press \"Select...\"\ndialog \"Select Bookmark\"\nselect bookmarks Appendix\n"
         "press OK\ndialog \"Sort Bookmarks\"\npress OK");
  EXPECT_TRUE(view().executeItem("TAVO:BookmarkSort"));
  expectScriptDone();
  EXPECT_EQ(outline(), (std::vector<std::string>{"Intro", "  b", "  a", "Appendix", "  y", "  z"}));
}

// ---- the bookmark picker

TEST_F(Dialogs, ThePickerShowsTheOutlineCollapsedAndReturnsThePickedEntry) {
  open({item("One", {item("One.1", {item("One.1.a")}), item("One.2")}), item("Two")});
  BookmarkPicker picker(pd().docGetBookmarkRoot(doc->handle()));
  picker.onInit();
  const ui::Control &tree = picker.control(BookmarkPicker::kIdTree);
  ASSERT_EQ(tree.tree.size(), 5u);
  const std::vector<std::pair<std::string, int>> expected = {
      {"One", -1}, {"One.1", 0}, {"One.1.a", 1}, {"One.2", 0}, {"Two", -1}};
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(tree.tree[i].text, expected[i].first);
    EXPECT_EQ(tree.tree[i].parent, expected[i].second);
    EXPECT_FALSE(tree.tree[i].expanded);
  }

  // OK with nothing selected says so and stays open; then a second-level entry is picked.
  script("press OK\nselect bookmarks One One.2\npress OK");
  BookmarkPicker again(pd().docGetBookmarkRoot(doc->handle()));
  EXPECT_EQ(ui().runModal(again), ui::DialogResult::Ok);
  expectScriptDone();
  EXPECT_EQ(ui().transcript()[1], std::string("message \"") + kNoBookmarkSelected + "\"");
  EXPECT_EQ(again.picked(), bookmark("One.2"));
}

TEST_F(Dialogs, ThePickerLeavesOutBrokenBookmarksWithTheirSubtrees) {
  // "A" has a child that is no dictionary; "B" is followed by one.
  test::writeFile(
      dir.file("broken.pdf"),
      test::rawPdf({"<< /Type /Catalog /Pages 2 0 R /Outlines 4 0 R >>",
                    "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                    "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] >>",
                    "<< /Type /Outlines /First 5 0 R /Last 6 0 R /Count 2 >>",
                    "<< /Title (A) /Parent 4 0 R /Next 6 0 R /First 7 0 R /Last 7 0 R /Count 1 >>",
                    "<< /Title (B) /Parent 4 0 R /Prev 5 0 R /Next 8 0 R >>", "(not a bookmark)",
                    "[1 2 3]"}));
  doc = std::make_unique<test::OpenDoc>(host, dir.file("broken.pdf"));
  BookmarkPicker picker(pd().docGetBookmarkRoot(doc->handle()));
  picker.onInit();
  const ui::Control &tree = picker.control(BookmarkPicker::kIdTree);
  ASSERT_EQ(tree.tree.size(), 2u);
  EXPECT_EQ(tree.tree[0].text, "A");
  EXPECT_EQ(tree.tree[1].text, "B");
  EXPECT_EQ(tree.tree[1].parent, -1);
}

TEST_F(Dialogs, AnEmptyOutlineGivesAnEmptyPicker) {
  open({});
  script("press OK\npress Cancel");
  EXPECT_EQ(chooseBookmark(pd().docGetBookmarkRoot(doc->handle())), std::nullopt);
  expectScriptDone();
}

// ---- Validate

TEST_F(Dialogs, ValidatingACleanOutlineReportsNoErrors) {
  open({item("A", {item("A.1")}), item("B")});
  script("dialog \"Validate Bookmarks\"\npress Validate\nshow\npress Close");
  EXPECT_TRUE(view().executeItem("TAVO:BookmarkValidate"));
  expectScriptDone();
  ASSERT_EQ(closed.size(), 1u);
  EXPECT_NE(closed[0].find("text status \"Total bookmarks processed: 3\""), std::string::npos)
      << closed[0];
  EXPECT_NE(closed[0].find("tree report\n    > [no errors] \"No errors found\"\n  text"),
            std::string::npos)
      << closed[0];
  EXPECT_NE(closed[0].find("button validate \"Validate\""), std::string::npos);
}

TEST_F(Dialogs, TheReportListsEachProblemBookmarkWithItsMessages) {
  open({item(" ", ActionSpec::goTo(11)),
        item("Parent", ActionSpec::goTo(0), {item("Web", ActionSpec::uriTo("http://x.org"))}),
        item("Fine")});
  ValidateDialog d(doc->handle());
  d.onInit();
  d.handle(ValidateDialog::kIdValidate, ui::Event::Clicked);
  const ui::Control &report = d.control(ValidateDialog::kIdReport);
  std::vector<std::string> lines;
  for (const ui::TreeItem &entry : report.tree)
    lines.push_back((entry.parent < 0 ? "" : "  ") + entry.text + " #" +
                    std::to_string(entry.icon));
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "1. Bookmark: \">\" #1",
                       "  Empty bookmark title. #2",
                       "  Destination page is invalid. #2",
                       "  Bookmark is not linked to a page in the current document. #2",
                       "2. Bookmark: \">Parent>Web\" #1",
                       "  Bookmark is not linked to a page in the current document. #2",
                   }));
  EXPECT_EQ(report.selected, 0);
  EXPECT_EQ(d.control(ValidateDialog::kIdStatus).text, "Total bookmarks processed: 4");

  // Without the outside-links box the web link is fine; the second run replaces the report.
  d.setChecked(ValidateDialog::kIdOutside, false);
  d.handle(ValidateDialog::kIdValidate, ui::Event::Clicked);
  ASSERT_EQ(d.results().size(), 1u);
  EXPECT_EQ(d.results()[0].messages,
            (std::vector<std::string>{"Empty bookmark title.", "Destination page is invalid."}));
  EXPECT_EQ(report.tree.size(), 3u);
}

TEST_F(Dialogs, CancelDuringARunStopsAfterTheBookmarkInHand) {
  std::vector<OutlineSpec> many;
  for (int i = 0; i < 30; ++i)
    many.push_back(item(" ", ActionSpec::goTo(0))); // every one has a blank title
  open(many);
  script("interrupt 15\npress Validate\npress Close");
  EXPECT_TRUE(view().executeItem("TAVO:BookmarkValidate"));
  expectScriptDone();
  ASSERT_EQ(closed.size(), 1u);
  // The fifteenth bookmark was checked and listed, but not counted.
  EXPECT_NE(closed[0].find("Total bookmarks processed: 14"), std::string::npos) << closed[0];
  EXPECT_NE(closed[0].find("\"15. Bookmark: "), std::string::npos);
  EXPECT_EQ(closed[0].find("\"16. Bookmark: "), std::string::npos);
  EXPECT_NE(closed[0].find("button validate \"Validate\""), std::string::npos);
}

TEST_F(Dialogs, TheStatusLineCountsInTens) {
  std::vector<OutlineSpec> many(25, item("B"));
  open(many);
  // A backend that looks at the status line between bookmarks, as a window would show it.
  struct Watching final : ui::UiServices {
    ui::UiServices &inner;
    std::vector<std::string> seen;
    explicit Watching(ui::UiServices &i) : inner(i) {}
    ui::DialogResult runModal(ui::Dialog &d) override { return inner.runModal(d); }
    ui::MessageAnswer messageBox(std::string_view t, std::string_view c,
                                 ui::MessageButtons b) override {
      return inner.messageBox(t, c, b);
    }
    std::optional<std::string> chooseFile(const ui::FileRequest &r) override {
      return inner.chooseFile(r);
    }
    std::optional<ui::Rgb> chooseColour(ui::Rgb c) override { return inner.chooseColour(c); }
    void setWaitCursor(bool on) override { inner.setWaitCursor(on); }
    int pumpPaintMessages(int) override { return 0; }
    bool takeButtonClick(ui::Dialog &d, int) override {
      const std::string &status = d.control(ValidateDialog::kIdStatus).text;
      if (seen.empty() || seen.back() != status)
        seen.push_back(status);
      return false;
    }
    bool openHelp(std::string_view p) override { return inner.openHelp(p); }
    int profileInt(std::string_view s, std::string_view k, int f) override {
      return inner.profileInt(s, k, f);
    }
    void setProfileInt(std::string_view s, std::string_view k, int v) override {
      inner.setProfileInt(s, k, v);
    }
    void setProfileOwner(std::string_view c, std::string_view a) override {
      inner.setProfileOwner(c, a);
    }
    std::string profileFolder() override { return inner.profileFolder(); }
  } watching(ui());
  host.provider().win().setUi(&watching);
  ValidateDialog d(doc->handle());
  d.onInit();
  d.handle(ValidateDialog::kIdValidate, ui::Event::Clicked);
  host.provider().win().setUi(nullptr);
  EXPECT_EQ(watching.seen,
            (std::vector<std::string>{"", "Processing bookmarks: 10", "Processing bookmarks: 20"}));
  EXPECT_EQ(d.control(ValidateDialog::kIdStatus).text, "Total bookmarks processed: 25");
}

TEST_F(Dialogs, ValidateWithoutADocumentSaysSo) {
  ValidateDialog d{DocHandle()};
  d.onInit();
  d.handle(ValidateDialog::kIdValidate, ui::Event::Clicked);
  ASSERT_FALSE(host.notes().empty());
  EXPECT_EQ(host.notes().back(), kNoActiveDocumentOpen);
  EXPECT_TRUE(d.control(ValidateDialog::kIdReport).tree.empty());
}

TEST_F(Dialogs, TheValidationOptionsAreRememberedAcrossRuns) {
  const std::string path = dir.file("config/Quillon/Sorvane.ini");
  ui().profile().openFile(path);
  open({item("A")});
  ValidateDialog first(doc->handle());
  first.onInit();
  EXPECT_TRUE(first.checked(ValidateDialog::kIdOutside)); // the defaults: 1 and 0
  EXPECT_FALSE(first.checked(ValidateDialog::kIdExternal));
  script("uncheck \"Warn about bookmarks pointing outside current document\"\n"
         "check \"Verify links to external documents and files\"\npress Close");
  ui().runModal(first);
  expectScriptDone();

  host::UserProfile restarted; // a new host process reads the same file
  restarted.openFile(path);
  EXPECT_EQ(restarted.getInt(kValidatingSection, "WarnAboutOutsideLinks", 1), 0);
  EXPECT_EQ(restarted.getInt(kValidatingSection, "VerifyExternalLinks", 0), 1);
  ui().profile().openFile(path);
  ValidateDialog second(doc->handle());
  second.onInit();
  EXPECT_FALSE(second.checked(ValidateDialog::kIdOutside));
  EXPECT_TRUE(second.checked(ValidateDialog::kIdExternal));
}

TEST_F(Dialogs, DoubleClickOnAReportEntryEditsTheBookmarksAction) {
  open({item("Broken", ActionSpec::goTo(11)), item("Good", ActionSpec::goTo(2))});
  std::vector<std::string> asked;
  host.editActionsWith([&](DocHandle, ActionHandle, std::string_view title) {
    asked.emplace_back(title);
    return pd().bookmarkGetAction(bookmark("Good"));
  });
  script("press Validate\ndouble-click report \"1. Bookmark: \\\">Broken\\\"\" "
         "\"Destination page is invalid.\"\npress Close");
  EXPECT_TRUE(view().executeItem("TAVO:BookmarkValidate"));
  expectScriptDone();
  EXPECT_EQ(asked, (std::vector<std::string>{kEditActionTitle}));
  EXPECT_EQ(view().pageMode(doc->handle()), host::PageMode::Bookmarks); // the pane shows
  EXPECT_TRUE(pd().bookmarkIsOpen(bookmark("Broken")));
  const auto entries = host::listOutline(host.pdf(), doc->handle()).entries;
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].page, 2); // the action the user confirmed

  // A cancelled editor changes nothing.
  host.editActionsWith([](DocHandle, ActionHandle, std::string_view) { return ActionHandle(); });
  script("press Validate\ndouble-click report \"No errors found\"\npress Close");
  EXPECT_TRUE(view().executeItem("TAVO:BookmarkValidate"));
  expectScriptDone();
  EXPECT_EQ(host::listOutline(host.pdf(), doc->handle()).entries[0].page, 2);
}

TEST_F(Dialogs, TheHostsActionDialogSendsTheBookmarkToAnotherPage) {
  open({item("Broken", ActionSpec::goTo(11)), item("Good", ActionSpec::goTo(0))});
  script("press Validate\ndouble-click report \"1. Bookmark: \\\">Broken\\\"\"\n"
         "dialog \"Edit Bookmark Action\"\ntype \"Go to page\" 9\npress OK\n"
         "type \"Go to page\" 3\nchoose View \"Fit Width\"\npress OK\n"
         "dialog \"Validate Bookmarks\"\npress Validate\npress Close");
  EXPECT_TRUE(view().executeItem("TAVO:BookmarkValidate"));
  expectScriptDone();
  // A page the document does not have is refused with a message, and the dialog stays open.
  EXPECT_NE(std::find(ui().transcript().begin(), ui().transcript().end(),
                      "message \"Enter a page number from 1 to 3.\""),
            ui().transcript().end());
  const auto entries = host::listOutline(host.pdf(), doc->handle()).entries;
  EXPECT_EQ(entries[0].page, 2);
  EXPECT_EQ(entries[0].action, "GoTo");
  ASSERT_EQ(closed.size(), 2u);
  EXPECT_NE(closed[1].find("\"No errors found\""), std::string::npos) << closed[1];
}

// ---- About and Help

TEST_F(Dialogs, TheAboutBoxNamesThePlugInItsHostAndVersion) {
  script("dialog \"Sorvane Plug-in\"\nshow\npress OK");
  EXPECT_TRUE(view().executeItem("TAVO:AboutSorvane")); // needs no document
  expectScriptDone();
  ASSERT_EQ(closed.size(), 1u);
  EXPECT_NE(closed[0].find("\"Sorvane Plug-in for sorvane\""), std::string::npos) << closed[0];
  EXPECT_NE(closed[0].find("\"Version 1.1, Build date: Oct 10 2005\""), std::string::npos);
  EXPECT_NE(closed[0].find("group \"About Sorvane Plug-in\""), std::string::npos);
  EXPECT_NE(closed[0].find("picture logo sorvane-logo"), std::string::npos);
}

TEST_F(Dialogs, HelpOpensTheHelpFileOrSaysItCannot) {
  plugInState().helpFile = dir.file("missing.html");
  EXPECT_TRUE(view().executeItem("TAVO:Sorvane"));
  ASSERT_FALSE(host.notes().empty());
  EXPECT_EQ(host.notes().back(), kHelpFailedMessage);
  host.clearNotes();
  test::writePdf(test::pages(1), dir.file("help.html")); // any file the viewer can open
  plugInState().helpFile = dir.file("help.html");
  EXPECT_TRUE(view().executeItem("TAVO:Sorvane"));
  EXPECT_TRUE(host.notes().empty());
  EXPECT_EQ(ui().transcript().back(), "help \"" + dir.file("help.html") + "\"");
}

} // namespace
} // namespace sorvane
