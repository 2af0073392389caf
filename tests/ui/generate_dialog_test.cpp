// The Generate Bookmarks dialog, the level property sheet and the font name dialog, driven as a
// user would through the scripted backend; and the Generate menu command.
#include <functional>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "host/base/file_io.h"
#include "host/pdf/outline_listing.h"
#include "host/runtime/view_services.h"
#include "plugin/engine/settings_files.h"
#include "plugin/shell/commands.h"
#include "plugin/shell/plugin_state.h"
#include "plugin/ui/font_dialog.h"
#include "plugin/ui/generate_dialog.h"
#include "plugin/ui/level_sheet.h"
#include "plugin/ui/rules_preview.h"
#include "sdk/imported_tables.h"
#include "tests/support/fixture_helpers.h"
#include "tests/support/open_doc.h"
#include "tests/support/pdf_builder.h"
#include "tests/support/temp_dir.h"

namespace sorvane {
namespace {

class GenerateUi : public ::testing::Test {
protected:
  void SetUp() override {
    plugInState().defaultsFile = dir.file("sorvane.cfs");
    inMemoryDefaults().reset();
    knownDocumentFonts().clear();
    buildMenus();
    ui().setDialogObserver([this](const ui::Dialog &d) { closed.push_back(describeDialog(d)); });
  }
  void TearDown() override {
    plugInState().defaultsFile.clear();
    inMemoryDefaults().reset();
    knownDocumentFonts().clear();
  }
  void open(test::PdfSpec spec) {
    test::writePdf(spec, dir.file("d.pdf"));
    doc = std::make_unique<test::OpenDoc>(host, dir.file("d.pdf"));
    view().setActiveDoc(doc->handle());
  }
  void script(std::string_view text) { test::setScript(ui(), text); }
  void expectScriptDone() { test::expectScriptDone(ui()); }
  static LevelRule level(double size) {
    LevelRule l;
    l.textStyleRule.fontDesc.fontSize = size;
    return l;
  }
  bool noted(const std::string &text) {
    const auto &n = host.notes();
    return std::find(n.begin(), n.end(), text) != n.end();
  }
  host::AcroView &view() { return host.provider().acroView(); }
  host::ScriptedUi &ui() { return host.ui(); }

  test::TestHost host;
  test::TempDir dir;
  std::unique_ptr<test::OpenDoc> doc;
  std::vector<std::string> closed;
};

// ---- the Generate Bookmarks dialog

TEST_F(GenerateUi, WithoutLevelsOnlyAddIsOffered) {
  BookmarkBuilder settings;
  GenerateDialog d(settings, "", "");
  d.onInit();
  for (int id : {int(ui::kIdOk), int(GenerateDialog::kIdRemoveAll), int(GenerateDialog::kIdEdit),
                 int(GenerateDialog::kIdRemove), int(GenerateDialog::kIdAddCopy)})
    EXPECT_FALSE(d.control(id).enabled) << id;
  EXPECT_TRUE(d.control(GenerateDialog::kIdAdd).enabled);
  const ui::Control &insert = d.control(GenerateDialog::kIdInsertType);
  EXPECT_EQ(insert.items, (std::vector<std::string>{"After", "Before", "Replace"}));
  EXPECT_EQ(insert.items[size_t(insert.selected)], "After"); // InsertType 1
}

TEST_F(GenerateUi, ThePageRangeIsCheckedOnOk) {
  BookmarkBuilder settings;
  settings.levels = {level(14)};
  script("uncheck \"Process to last page\"\ntype \"Start from page\" 5\ntype \"to page\" 4\n"
         "press OK\ntype \"to page\" 5\npress OK");
  GenerateDialog d(settings, "", "");
  EXPECT_EQ(ui().runModal(d), ui::DialogResult::Ok);
  expectScriptDone();
  EXPECT_TRUE(noted(kPageRangeMessage)); // the first OK was refused
  EXPECT_EQ(settings.firstPage, 4);
  EXPECT_EQ(settings.lastPage, 4); // equal pages are accepted

  // To the last page: the end field is off and ignored; a start of 0 counts as 1.
  script("check \"Process to last page\"\ntype \"Start from page\" 0\npress OK");
  GenerateDialog again(settings, "", "");
  ui().runModal(again);
  expectScriptDone();
  EXPECT_FALSE(again.control(GenerateDialog::kIdEndPage).enabled);
  EXPECT_EQ(settings.lastPage, -1);
  open(test::pages(7));
  GenerateDialog shown(settings, "", "");
  shown.onInit();
  EXPECT_EQ(shown.control(GenerateDialog::kIdEndPage).value, "7"); // the open document's last
  EXPECT_EQ(settings.firstPage, 0);
  // An empty page field is refused.
  host.clearNotes();
  script("type \"Start from page\" \"\"\npress OK\npress Close");
  GenerateDialog empty(settings, "", "");
  EXPECT_EQ(ui().runModal(empty), ui::DialogResult::Cancel);
  EXPECT_TRUE(noted(kEnterAnInteger));
}

TEST_F(GenerateUi, LevelsShowAsAChainAndKeepTheirSelection) {
  BookmarkBuilder settings;
  settings.levels = {level(20), level(14), level(12)};
  GenerateDialog d(settings, "", "");
  d.onInit();
  const ui::Control &tree = d.control(GenerateDialog::kIdLevels);
  ASSERT_EQ(tree.tree.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(tree.tree[size_t(i)].parent, i - 1);
    EXPECT_EQ(tree.tree[size_t(i)].text.rfind("Level " + std::to_string(i + 1) + " : (", 0), 0u);
  }
  EXPECT_EQ(tree.tree[1].text, "Level 2 : (Helvetica-Bold, Size 14.0 pt)");
  EXPECT_EQ(tree.selected, 2);
  // Removing the last level leaves the new last one selected; Add Copy copies the selected one.
  d.handle(GenerateDialog::kIdRemove, ui::Event::Clicked);
  EXPECT_EQ(d.working().levels.size(), 2u);
  EXPECT_EQ(tree.selected, 1);
  d.control(GenerateDialog::kIdLevels).selected = 0;
  d.handle(GenerateDialog::kIdLevels, ui::Event::Changed);
  d.handle(GenerateDialog::kIdAddCopy, ui::Event::Clicked);
  ASSERT_EQ(d.working().levels.size(), 3u);
  EXPECT_EQ(d.working().levels[2], d.working().levels[0]);
  EXPECT_EQ(tree.selected, 0);
  // Remove All asks first.
  host.answerQuestions([](std::string_view) { return false; });
  d.handle(GenerateDialog::kIdRemoveAll, ui::Event::Clicked);
  EXPECT_EQ(d.working().levels.size(), 3u);
  host.answerQuestions([](std::string_view q) { return q == kDeleteAllLevels; });
  d.handle(GenerateDialog::kIdRemoveAll, ui::Event::Clicked);
  EXPECT_TRUE(d.working().levels.empty());
  EXPECT_EQ(tree.selected, -1);
  EXPECT_FALSE(d.control(ui::kIdOk).enabled);
}

TEST_F(GenerateUi, CloseRemembersTheEditsButGeneratesNothing) {
  open(test::pages(2));
  script("dialog \"Generate Bookmarks (Sorvane Plug-in)\"\npress \"Add...\"\n"
         "dialog \"Bookmark Level Description\"\ntype size 14\npress OK\n"
         "check \"Sort bookmarks vertically within each page\"\npress Close");
  EXPECT_TRUE(view().executeItem("TAVO:BookmarkGenerate"));
  expectScriptDone();
  EXPECT_TRUE(host.notes().empty()); // no summary: nothing ran
  EXPECT_TRUE(std::filesystem::exists(plugInState().defaultsFile));
  // The next opening (after the plug-in was reloaded, too) shows the remembered settings.
  inMemoryDefaults().reset();
  BookmarkBuilder fresh;
  GenerateDialog next(fresh, plugInState().defaultsFile, "");
  next.onInit();
  EXPECT_TRUE(next.checked(GenerateDialog::kIdSortText));
  ASSERT_EQ(next.working().levels.size(), 1u);
  EXPECT_EQ(next.working().levels[0].textStyleRule.fontDesc.fontSize, 14.0);
  // A level added in the dialog serves every subset of its fonts and keeps inline code.
  EXPECT_TRUE(next.working().levels[0].textStyleRule.ignoreSubsetPrefix);
  EXPECT_TRUE(next.working().levels[0].textMatchRule.inlineRuns);
}

TEST_F(GenerateUi, NewSettingsLeaveTableOfContentsLinesOut) {
  // The Generate command starts from the remembered defaults: new ones skip contents lines.
  inMemoryDefaults() = BookmarkBuilder();
  inMemoryDefaults().skipContentsLines = true;
  BookmarkBuilder settings;
  GenerateDialog d(settings, plugInState().defaultsFile, "");
  d.onInit();
  EXPECT_TRUE(d.checked(GenerateDialog::kIdSkipContents));
  // A settings file without the key (the batch mode reads it as it is) shows the box clear.
  BookmarkBuilder stored;
  stored.levels = {level(12)};
  script("check \"Ignore table of contents lines\"\npress OK");
  GenerateDialog batch(stored, "", "");
  EXPECT_FALSE(stored.skipContentsLines);
  ui().runModal(batch);
  expectScriptDone();
  EXPECT_TRUE(stored.skipContentsLines);
}

TEST_F(GenerateUi, TheBatchModeNeitherReadsNorWritesTheDefaults) {
  BookmarkBuilder remembered;
  remembered.levels = {level(30)};
  saveDefaults(plugInState().defaultsFile, kDefaultsKey,
               [&](CabinetHandle cab) { remembered.writeNamed(kDefaultsKey, cab); });
  const std::string before = host::readWholeFile(plugInState().defaultsFile, 1 << 20);
  BookmarkBuilder settings;
  settings.levels = {level(9)};
  script("press \"Add Copy\"\npress OK");
  GenerateDialog d(settings, "", "");
  EXPECT_EQ(ui().runModal(d), ui::DialogResult::Ok);
  expectScriptDone();
  EXPECT_EQ(settings.levels.size(), 2u);
  EXPECT_EQ(settings.levels[0].textStyleRule.fontDesc.fontSize, 9.0);
  EXPECT_EQ(host::readWholeFile(plugInState().defaultsFile, 1 << 20), before);
}

TEST_F(GenerateUi, SaveAndLoadGoThroughTheFileChoosers) {
  BookmarkBuilder settings;
  settings.levels = {level(18), level(11)};
  const std::string path = dir.file("mine.svb");
  script("press \"Save...\"\nno-file\npress \"Save...\"\nfile \"" + dir.file("mine") +
         "\"\npress Close");
  GenerateDialog d(settings, "", "");
  ui().runModal(d);
  expectScriptDone();
  EXPECT_TRUE(host.notes().empty());          // cancelling the chooser says nothing
  ASSERT_TRUE(std::filesystem::exists(path)); // the default extension was added

  test::writeFile(dir.file("notes.svb"), "not settings");
  test::writeFile(dir.file("other.svb"),
                  R"({"format": "sorvane-cabinet", "version": 1, "cabinet": {"Other": {}}})");
  BookmarkBuilder empty;
  script("press \"Load...\"\nfile \"" + dir.file("notes.svb") + "\"\npress \"Load...\"\nfile \"" +
         dir.file("other.svb") + "\"\npress \"Load...\"\nfile \"" + path + "\"\npress OK");
  GenerateDialog loading(empty, "", "");
  EXPECT_EQ(ui().runModal(loading), ui::DialogResult::Ok);
  expectScriptDone();
  EXPECT_EQ(host.notes(), (std::vector<std::string>{kSettingsUnreadable, kSettingsCorrupted}));
  ASSERT_EQ(empty.levels.size(), 2u);
  EXPECT_EQ(empty.levels[1].textStyleRule.fontDesc.fontSize, 11.0);
}

// A file loaded into the dialog and saved again holds what it held: every key, each moved off
// its default; a key the file lacks is saved as what reading it gives.
TEST_F(GenerateUi, LoadingAndSavingThroughTheDialogKeepsEveryKey) {
  BookmarkBuilder plain;
  plain.levels = {level(18), level(12)};
  const std::string base = dir.file("base.svb");
  ASSERT_TRUE(saveSettingsFile(plain, base));
  const nlohmann::json original = nlohmann::json::parse(test::readFile(base));
  nlohmann::json moved = original;
  std::function<void(nlohmann::json &)> move = [&](nlohmann::json &object) {
    for (auto it = object.begin(); it != object.end(); ++it) {
      nlohmann::json &value = it.value();
      if (value.is_object())
        move(value);
      else if (it.key() == "NumLevels" || it.key() == "NumItems" || it.key() == "version")
        continue;
      else if (value.is_boolean())
        value = !value.get<bool>();
      else if (value.is_number_integer())
        value = value.get<int64_t>() + 1;
      else if (value.is_number_float())
        value = value.get<double>() + 0.5;
      else if (value.is_string() && it.key() != "format")
        value = value.get<std::string>() + "x";
    }
  };
  move(moved["cabinet"]);
  const std::string changed = dir.file("changed.svb");
  test::writeFile(changed, moved.dump(2));

  // What the reader makes of each file, saved directly and saved through the dialog.
  const auto direct = [&](const std::string &in) {
    BookmarkBuilder read;
    EXPECT_EQ(loadSettingsFile(read, in), LoadResult::Loaded);
    const std::string out = in + ".direct.svb";
    EXPECT_TRUE(saveSettingsFile(read, out));
    return nlohmann::json::parse(test::readFile(out));
  };
  const auto throughDialog = [&](const std::string &in) {
    const std::string out = in + ".dialog.svb";
    script("press \"Load...\"\nfile \"" + in + "\"\npress \"Save...\"\nfile \"" + out +
           "\"\npress Close");
    BookmarkBuilder settings;
    GenerateDialog d(settings, "", "");
    ui().runModal(d);
    expectScriptDone();
    return nlohmann::json::parse(test::readFile(out));
  };
  const nlohmann::json read = direct(changed);
  EXPECT_EQ(throughDialog(changed), read);
  // The file did move most keys off their defaults (a reader clamps some back).
  int differ = 0;
  std::function<void(const nlohmann::json &, const nlohmann::json &)> count =
      [&](const nlohmann::json &a, const nlohmann::json &b) {
        for (auto it = a.begin(); it != a.end(); ++it)
          if (it.value().is_object() && b.contains(it.key()))
            count(it.value(), b[it.key()]);
          else
            differ += !b.contains(it.key()) || b[it.key()] != it.value();
      };
  count(read["cabinet"], original["cabinet"]);
  EXPECT_GT(differ, 40);

  const std::string sparse = dir.file("sparse.svb");
  test::writeFile(sparse, R"({"format": "sorvane-cabinet", "version": 1, "cabinet":
      {"BuildSettings": {"NumLevels": 1, "Level0": {"TextStyle": {}}}}})");
  EXPECT_EQ(throughDialog(sparse), direct(sparse));
}

TEST_F(GenerateUi, TheStopWordsEditorReplacesTheList) {
  BookmarkBuilder settings;
  settings.levels = {level(12)};
  script("check \"Ignore text that contains stop words:\"\npress \"Edit Stop Words...\"\n"
         "dialog \"Edit Stop Words\"\ntype words \"Contents\\r\\nIndex\"\npress OK\npress OK");
  GenerateDialog d(settings, "", "");
  ui().runModal(d);
  expectScriptDone();
  EXPECT_TRUE(settings.ignoreStopWords);
  EXPECT_EQ(settings.stopWords, (StringList{"Contents", "Index"}));
}

TEST_F(GenerateUi, TheGenerateCommandRunsAndSaysWhatItMade) {
  test::PdfSpec spec = test::pages(2);
  spec.pages[0].texts = {test::textAt("Chapter One", 72, 700, 14, "Helvetica-Bold")};
  spec.pages[1].texts = {test::textAt("Chapter Two", 72, 700, 14, "Helvetica-Bold")};
  open(spec);
  script("press \"Add...\"\ntype size 14\npress OK\npress OK");
  EXPECT_TRUE(view().executeItem("TAVO:BookmarkGenerate"));
  expectScriptDone();
  ASSERT_EQ(host.notes().size(), 1u);
  EXPECT_EQ(host.notes()[0], "Total number of bookmarks created: 2\nProcessing time: 0 "
                             "minute(s), 0 second(s).");
  EXPECT_EQ(view().pageMode(doc->handle()), host::PageMode::Bookmarks);
  EXPECT_EQ(host::listOutline(host.pdf(), doc->handle()).entries.size(), 2u);
  EXPECT_EQ(generationSummary(0, 3725), "Total number of bookmarks created: 0\nProcessing time: 62 "
                                        "minute(s), 5 second(s).");
}

// ---- the level property sheet

TEST_F(GenerateUi, CancelLeavesTheLevelAsItWas) {
  LevelRule rule = level(13);
  const LevelRule before = rule;
  script("check \"Match Text Pattern\"\ntype pattern \"^[0-9]\"\nuncheck \"Font Name(s)\"\nchoose "
         "pages Appearance\n"
         "choose \"Text Style\" Bold\nchoose pages Content\ncheck UPPERCASE\npress Cancel");
  LevelSheet sheet(rule);
  EXPECT_EQ(ui().runModal(sheet), ui::DialogResult::Cancel);
  expectScriptDone();
  EXPECT_EQ(rule, before);
}

TEST_F(GenerateUi, PagesNeverOpenedKeepTheirParts) {
  LevelRule rule = level(13.25); // "13.2" on the page: untouched, the exact size stays
  rule.indentRule.tolerance = 0.35;
  rule.textStyleRule.tolerance = 0.35;
  rule.fitType = 7; // none of the zoom list's
  rule.contentFormat.maxTextLength = 0;
  rule.dispAttribs.isItalic = true;
  LevelRule expected = rule;
  script("press OK");
  LevelSheet sheet(rule);
  ui().runModal(sheet);
  expectScriptDone();
  expected.textMatchRule.query.useRegExp = true; // the Text Matching page always sets it
  EXPECT_EQ(rule, expected);
  // The Appearance page opened, with a view the list lacks: the view is kept.
  script("choose pages Appearance\npress OK");
  LevelSheet looked(rule);
  ui().runModal(looked);
  EXPECT_EQ(looked.control(LevelSheet::kIdZoom).selected, -1);
  EXPECT_EQ(rule.fitType, 7);
}

TEST_F(GenerateUi, TheTextMatchingPageReadsAndWritesItsFields) {
  LevelRule rule = level(9);
  rule.indentRule.displayUnits = int32_t(DisplayUnits::Centimeters);
  rule.indentRule.leftIndent = 72;
  rule.textMatchRule.query.pattern = "  x  ";
  LevelSheet sheet(rule);
  sheet.onInit();
  EXPECT_EQ(sheet.control(LevelSheet::kIdSize).value, " 9.0");
  EXPECT_EQ(sheet.control(LevelSheet::kIdIndent).value, "2.54");
  const ui::Control &units = sheet.control(LevelSheet::kIdUnits);
  EXPECT_EQ(units.items, (std::vector<std::string>{"cm", "inches", "mm", "pt"}));
  EXPECT_EQ(units.items[size_t(units.selected)], "cm");
  EXPECT_EQ(sheet.control(LevelSheet::kIdPattern).value, "x");
  EXPECT_TRUE(sheet.checked(LevelSheet::kIdPatternBox));
  EXPECT_FALSE(sheet.control(LevelSheet::kIdIndent).enabled); // indentation is off
  const auto &sizes = sheet.control(LevelSheet::kIdSize).items;
  EXPECT_LT(std::find(sizes.begin(), sizes.end(), "10.0"),
            std::find(sizes.begin(), sizes.end(), "6.0")); // sorted as text

  script("check \"Left Indentation\"\ntype indent 2.54\ntype pattern \"  ^Chapter  \"\n"
         "type size \"16.5 pt\"\nchoose size-tolerance 1.5\nchoose \"Match Text Case\" "
         "\"First Character Is Digit\"\npress OK");
  ui().runModal(sheet);
  expectScriptDone();
  EXPECT_DOUBLE_EQ(rule.indentRule.leftIndent, 72.0);
  EXPECT_TRUE(rule.indentRule.enabled);
  EXPECT_EQ(rule.textMatchRule.query.pattern, "^Chapter");
  EXPECT_DOUBLE_EQ(rule.textStyleRule.fontDesc.fontSize, 16.5);
  EXPECT_DOUBLE_EQ(rule.textStyleRule.tolerance, 1.5);
  EXPECT_EQ(rule.textMatchRule.caseMatching, 3);

  // What is no number keeps the value it replaces, and the user is told so.
  const size_t notesBefore = host.notes().size();
  script("type size-tolerance nan\ncheck \"Left Indentation\"\ntype indent inches\npress OK");
  LevelSheet wrong(rule);
  ui().runModal(wrong);
  expectScriptDone();
  EXPECT_DOUBLE_EQ(rule.textStyleRule.tolerance, 1.5);
  EXPECT_DOUBLE_EQ(rule.indentRule.leftIndent, 72.0);
  const auto &notes = host.notes();
  ASSERT_EQ(notes.size(), notesBefore + 2);
  EXPECT_EQ(notes[notesBefore], "\"nan\" is not a number; the size tolerance stays 1.5.");
  EXPECT_NE(notes.back().find("the indentation is left as it was"), std::string::npos);

  // A checked pattern box with an empty field stores no pattern, and opens clear next time.
  script("type pattern \"   \"\npress OK");
  LevelSheet cleared(rule);
  ui().runModal(cleared);
  EXPECT_EQ(rule.textMatchRule.query.pattern, "");
  LevelSheet reopened(rule);
  reopened.onInit();
  EXPECT_FALSE(reopened.checked(LevelSheet::kIdPatternBox));
  EXPECT_FALSE(reopened.control(LevelSheet::kIdPattern).enabled);
}

TEST_F(GenerateUi, FontNamesAreAddedOnceWhateverTheirCase) {
  LevelRule rule = level(12); // Helvetica-Bold
  script("press \"<< Add...\"\ndialog \"Font Name\"\nselect fonts helvetica-bold\npress OK\n"
         "press \"<< Add...\"\nselect fonts Courier\npress OK\n"
         "select fonts Helvetica-Bold\npress Remove\npress OK");
  // The standard names differ from the listed one only in case: "Helvetica-Bold" is there.
  knownDocumentFonts() = {"helvetica-bold", "Courier"};
  LevelSheet sheet(rule);
  ui().runModal(sheet);
  ASSERT_FALSE(ui().failure()) << *ui().failure();
  CoreTable &core = *hostTables().core.table;
  std::vector<std::string> names;
  for (Atom a : rule.textStyleRule.fontDesc.fonts)
    names.emplace_back(core.atomGetString(a));
  EXPECT_EQ(names, (std::vector<std::string>{"Courier"}));
}

TEST_F(GenerateUi, TheAppearanceAndContentPagesKeepTheirRules) {
  LevelRule rule = level(12);
  rule.dispAttribs.color.setRgb(10 / 255.0, 20 / 255.0, 30 / 255.0);
  rule.contentFormat.prefixText = "Ch. ";
  rule.contentFormat.leadingNumbers = 1;
  rule.contentFormat.leadingType = 1;
  const uint32_t colour = rule.dispAttribs.color.toDisplayColor();
  script("choose pages Appearance\nshow\nchoose \"Text Style\" \"Bold & Italic\"\n"
         "choose Zoom \"Fit Width\"\nchoose pages Content\nuncheck \"Insert this text before "
         "each title\"\nchoose Use Numbers\ntype \"Maximum title length\" 0\ncheck \"Title "
         "Case\"\npress OK");
  std::ostringstream shown;
  ui().setOutput(&shown);
  LevelSheet sheet(rule);
  ui().runModal(sheet);
  ui().setOutput(nullptr);
  expectScriptDone();
  EXPECT_NE(shown.str().find("choice colour \"Text Color:\" = \"Current\""), std::string::npos)
      << shown.str();
  EXPECT_EQ(rule.dispAttribs.color.toDisplayColor(), colour); // "Current" kept it
  EXPECT_TRUE(rule.dispAttribs.isBold);
  EXPECT_TRUE(rule.dispAttribs.isItalic);
  EXPECT_EQ(rule.fitType, 2);
  EXPECT_EQ(rule.contentFormat.prefixText, "");
  EXPECT_EQ(rule.contentFormat.leadingType, 0);
  EXPECT_EQ(rule.contentFormat.maxTextLength, 1);
  EXPECT_EQ(rule.contentFormat.caseStyle, 3);
  // The zoom list offers the views the dialog names, not those only kept from older files.
  EXPECT_EQ(sheet.control(LevelSheet::kIdZoom).items,
            (std::vector<std::string>{"Fit Page", "Fit Width", "Fit Visible", "Actual Size",
                                      "Inherit Zoom"}));
  // "Use:" follows "Leading numbers:".
  LevelSheet again(rule);
  again.onInit();
  again.control(LevelSheet::kIdPages).selected = LevelSheet::kContent;
  again.handle(LevelSheet::kIdPages, ui::Event::Changed);
  EXPECT_TRUE(again.control(LevelSheet::kIdLeadingType).enabled);
  again.control(LevelSheet::kIdLeading).selected = 2;
  again.handle(LevelSheet::kIdLeading, ui::Event::Changed);
  EXPECT_FALSE(again.control(LevelSheet::kIdLeadingType).enabled);
}

// ---- fonts

TEST_F(GenerateUi, TheFontDialogOffersStandardNamesThenTheDocumentsFonts) {
  FontNameDialog first;
  first.onInit();
  std::vector<std::string> sorted = standardFontNames();
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(first.control(FontNameDialog::kIdList).items, sorted);

  test::PdfSpec spec = test::pages(3);
  for (auto &page : spec.pages)
    page.texts = {test::textAt("A", 72, 700, 12, "Times-Roman"),
                  test::textAt("B", 72, 600, 12, "Courier-Bold")};
  open(spec);
  script("press \"Update Fonts\"\npress OK\nselect fonts Times-Roman\npress OK");
  FontNameDialog d;
  EXPECT_EQ(ui().runModal(d), ui::DialogResult::Ok);
  expectScriptDone();
  EXPECT_EQ(d.chosen(), "Times-Roman");
  EXPECT_EQ(knownDocumentFonts(), (std::vector<std::string>{"Times-Roman", "Courier-Bold"}));
  EXPECT_NE(std::find(ui().transcript().begin(), ui().transcript().end(),
                      std::string("message \"") + kSelectFontName + "\""),
            ui().transcript().end());
  // Later, without a document, the same names.
  view().setActiveDoc(DocHandle());
  FontNameDialog later;
  later.onInit();
  EXPECT_EQ(later.control(FontNameDialog::kIdList).items,
            (std::vector<std::string>{"Courier-Bold", "Times-Roman"}));
}

TEST_F(GenerateUi, UpdateFontsWithoutADocumentSaysSo) {
  knownDocumentFonts() = {"Kept"};
  FontNameDialog d;
  d.onInit();
  d.handle(FontNameDialog::kIdUpdate, ui::Event::Clicked);
  EXPECT_TRUE(noted("No active document available. Please open a document and try again."));
  EXPECT_EQ(knownDocumentFonts(), (std::vector<std::string>{"Kept"}));
  EXPECT_EQ(d.control(FontNameDialog::kIdList).items, (std::vector<std::string>{"Kept"}));
}

TEST_F(GenerateUi, LargeDocumentsAskBeforeTheFontsAreEnumerated) {
  std::vector<std::string> asked;
  host.answerQuestions([&](std::string_view q) { return asked.emplace_back(q), false; });
  for (int pages : {50, 51}) {
    test::PdfSpec spec = test::pages(pages);
    spec.pages[0].texts = {test::textAt("A", 72, 700, 12, "Times-Roman")};
    doc.reset();
    open(spec);
    knownDocumentFonts() = {"Kept"};
    FontNameDialog d;
    d.onInit();
    d.handle(FontNameDialog::kIdUpdate, ui::Event::Clicked);
    if (pages == 50) {
      EXPECT_TRUE(asked.empty());
      EXPECT_EQ(knownDocumentFonts(), (std::vector<std::string>{"Times-Roman"}));
    } else {
      EXPECT_EQ(asked, (std::vector<std::string>{kEnumerateFontsQuestion}));
      EXPECT_EQ(knownDocumentFonts(), (std::vector<std::string>{"Kept"})); // declined
    }
  }
  // A document without text: the standard names, and a note.
  doc.reset();
  open(test::pages(1));
  FontNameDialog none;
  none.onInit();
  none.handle(FontNameDialog::kIdUpdate, ui::Event::Clicked);
  EXPECT_TRUE(noted(kNoFontsFound));
  EXPECT_EQ(none.control(FontNameDialog::kIdList).items.size(), standardFontNames().size());
}

// A manual without an outline or a table of contents: chapters in 16-point bold, sections in
// 9-point bold, body text in Times. With `outline`, its bookmarks are the chapters and sections.
test::PdfSpec fourChapters(bool outline) {
  test::PdfSpec spec = test::pages(4);
  const char *names[] = {"Getting started", "Writing files", "Reading files", "Errors"};
  for (int p = 0; p < 4; ++p) {
    auto &t = spec.pages[size_t(p)].texts;
    const std::string n = std::to_string(p + 1);
    t.push_back(test::textAt(n + " " + names[p], 72, 740, 16, "Helvetica-Bold"));
    t.push_back(test::textAt(n + ".1 First steps with " + std::string(names[p]), 72, 715, 9,
                             "Helvetica-Bold"));
    for (int i = 0; i < 10; ++i)
      t.push_back(test::textAt("Body text of the manual, line " + std::to_string(i) + ".", 72,
                               700 - 12 * i, 10, "Times-Roman"));
    t.push_back(
        test::textAt(n + ".2 More about " + std::string(names[p]), 72, 560, 9, "Helvetica-Bold"));
    for (int i = 0; i < 10; ++i)
      t.push_back(test::textAt("More body text, line " + std::to_string(i) + ".", 72, 545 - 12 * i,
                               10, "Times-Roman"));
    if (outline) {
      test::OutlineSpec chapter;
      chapter.title = n + " " + names[p];
      chapter.action = test::ActionSpec::goTo(p);
      for (const std::string &section :
           {n + ".1 First steps with " + names[p], n + ".2 More about " + names[p]}) {
        test::OutlineSpec child;
        child.title = section;
        child.action = test::ActionSpec::goTo(p);
        chapter.children.push_back(child);
      }
      spec.outline.push_back(chapter);
    }
  }
  return spec;
}

// The dialog writes levels for the open document: suggested from its text styles, or learned
// from its bookmarks (which new bookmarks then replace); the preview shows what they find.
TEST_F(GenerateUi, SuggestAndLearnWriteTheLevelsForTheOpenDocument) {
  open(fourChapters(false));
  BookmarkBuilder settings;
  GenerateDialog d(settings, "", "");
  d.onInit();
  EXPECT_TRUE(d.control(GenerateDialog::kIdSuggest).enabled);
  EXPECT_FALSE(d.control(GenerateDialog::kIdLearn).enabled); // no bookmarks to learn from
  d.handle(GenerateDialog::kIdSuggest, ui::Event::Clicked);
  ASSERT_EQ(d.working().levels.size(), 2u);
  ASSERT_FALSE(host.notes().empty());
  EXPECT_EQ(host.notes().back().rfind("Suggested 2 levels from the text styles (no printed "
                                      "table of contents was found); confidence ",
                                      0),
            0u)
      << host.notes().back();
  EXPECT_EQ(d.control(GenerateDialog::kIdLevels).tree.size(), 2u);
  EXPECT_EQ(RulesPreview::instance().headingsOnPage(doc->handle(), 0).size(), 3u);
  EXPECT_EQ(settings.levels.size(), 0u); // nothing is kept before OK

  open(fourChapters(true));
  GenerateDialog learning(settings, "", "");
  learning.onInit();
  ASSERT_TRUE(learning.control(GenerateDialog::kIdLearn).enabled);
  learning.handle(GenerateDialog::kIdLearn, ui::Event::Clicked);
  ASSERT_EQ(learning.working().levels.size(), 2u);
  EXPECT_EQ(learning.working().insertType, int32_t(InsertType::Replace));
  EXPECT_EQ(host.notes().back().rfind("Learned 2 levels from the 12 bookmarks: the rules make 12 "
                                      "bookmarks, 12 of them the document's own (F1 1.00).",
                                      0),
            0u)
      << host.notes().back();
}

TEST_F(GenerateUi, StyleCaptureTakesTheSelectedPieces) {
  FontDesc font;
  EXPECT_FALSE(captureStyle(font));
  EXPECT_EQ(host.notes().back(),
            "No active document available. Please open a document and try again.");
  open(test::pages(1));
  EXPECT_FALSE(captureStyle(font));
  EXPECT_EQ(host.notes().back(), kNoTextSelection);
  DocSelection selection;
  selection.type = "Text";
  selection.pieces = {{"Times-Bold", 14, {0, 0, 0}, "Chapter"},
                      {"Courier", 10, {0, 0, 0}, "2"},
                      {"Times-Bold", 12.5, {1, 0, 0}, "Scope"}};
  view().setSelection(doc->handle(), selection);
  ASSERT_TRUE(captureStyle(font));
  CoreTable &core = *hostTables().core.table;
  ASSERT_EQ(font.fonts.size(), 2u);
  EXPECT_EQ(core.atomGetString(font.fonts[0]), "Times-Bold");
  EXPECT_EQ(core.atomGetString(font.fonts[1]), "Courier");
  EXPECT_EQ(font.fontSize, 12.5); // the last piece's
  EXPECT_EQ(font.color.toDisplayColor(), 0xFFu);
  // Through the page's button: the list and the size show what was taken.
  LevelRule rule = level(12);
  script("press \"&Set Font Style From Selected Text\"\npress OK");
  LevelSheet sheet(rule);
  ui().runModal(sheet);
  expectScriptDone();
  EXPECT_EQ(sheet.control(LevelSheet::kIdFontList).items,
            (std::vector<std::string>{"Times-Bold", "Courier"}));
  EXPECT_EQ(rule.textStyleRule.fontDesc.fontSize, 12.5);
  // A style taken from a heading: a code word or a logo inside it stays in its titles.
  EXPECT_TRUE(rule.textMatchRule.inlineRuns);
}

} // namespace
} // namespace sorvane
