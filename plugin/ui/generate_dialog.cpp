#include "plugin/ui/generate_dialog.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "plugin/engine/kept_text.h"
#include "plugin/engine/rule_learning.h"
#include "plugin/engine/rule_suggestion.h"
#include "plugin/engine/settings_files.h"
#include "plugin/ui/level_sheet.h"
#include "plugin/ui/platform.h"
#include "plugin/ui/rules_preview.h"
#include "plugin/ui/stop_words_dialog.h"
#include "sdk/host_error.h"

namespace sorvane {
namespace {

using ui::ControlKind;

// The insert types as the list keeps them, sorted.
constexpr std::pair<const char *, int> kInsertTypes[] = {
    {"After", int(InsertType::After)},
    {"Before", int(InsertType::Before)},
    {"Replace", int(InsertType::Replace)},
};

// A page field's number; nothing when it holds none.
std::optional<long> pageNumber(const std::string &text) {
  if (text.empty() || text.size() > 9)
    return text.empty() ? std::nullopt : std::optional<long>(999999999);
  return std::stol(text);
}

// The chooser's filters from the "Text|pattern|...||" form.
std::vector<std::pair<std::string, std::string>> filters(const std::string &spec) {
  std::vector<std::pair<std::string, std::string>> out;
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t bar = spec.find('|'); bar != std::string::npos; bar = spec.find('|', start)) {
    parts.push_back(spec.substr(start, bar - start));
    start = bar + 1;
  }
  for (size_t i = 0; i + 1 < parts.size(); i += 2)
    if (!parts[i].empty())
      out.emplace_back(parts[i], parts[i + 1]);
  return out;
}

} // namespace

GenerateDialog::GenerateDialog(BookmarkBuilder &settings, std::string defaultsFile,
                               std::string helpFile)
    : ui::Dialog("Generate Bookmarks (Sorvane Plug-in)"), m_settings(settings), m_work(settings),
      m_defaultsFile(std::move(defaultsFile)), m_helpFile(std::move(helpFile)) {
  add(ControlKind::Static, kIdIntro, "",
      "Use this dialog to define descriptions of the text that constitute bookmark titles. "
      "Bookmarks are automatically generated based on text style, content and layout.");
  add(ControlKind::Group, kIdOptionsGroup, "", "Processing Options");
  add(ControlKind::Edit, kIdStartPage, "start-page", "Start from page:").digitsOnly = true;
  ui::Control &endPage = add(ControlKind::Edit, kIdEndPage, "end-page", "to page:");
  endPage.digitsOnly = true;
  endPage.sameRow = true;
  add(ControlKind::CheckBox, kIdLastPage, "last-page", "Process to last page");
  ui::Control &insert = add(ControlKind::DropDown, kIdInsertType, "insert", "Insert bookmarks:");
  for (const auto &[text, value] : kInsertTypes) {
    insert.items.push_back(text);
    insert.itemData.push_back(value);
  }
  add(ControlKind::CheckBox, kIdStopWordsBox, "stop-words",
      "Ignore text that contains stop words:");
  ui::Control &editStopWords = add(ControlKind::Button, kIdEditStopWords, "", "Edit Stop Words...");
  editStopWords.sameRow = true;
  editStopWords.opensMore = true;
  add(ControlKind::CheckBox, kIdDuplicates, "duplicates", "Ignore consecutive duplicate bookmarks");
  add(ControlKind::CheckBox, kIdSkipContents, "skip-contents", "Ignore table of contents lines");
  add(ControlKind::CheckBox, kIdSortText, "sort", "Sort bookmarks vertically within each page")
      .endsGroup = true;
  add(ControlKind::Group, kIdLevelsGroup, "", "Bookmark Level Descriptions");
  add(ControlKind::Static, kIdLevelsHint, "",
      "Click \"Add...\" button to add bookmark level and its text style matching rules.");
  add(ControlKind::Tree, kIdLevels, "levels", "").icons = {"level"};
  // The buttons that work on the levels stand beside their list.
  add(ControlKind::Button, kIdAdd, "", "Add...").opensMore = true;
  add(ControlKind::Button, kIdEdit, "", "Edit...").opensMore = true;
  add(ControlKind::Button, kIdAddCopy, "", "Add Copy");
  add(ControlKind::Button, kIdRemove, "", "Remove");
  add(ControlKind::Button, kIdRemoveAll, "", "Remove All");
  // Added to the classic dialog: levels written for the user from the document itself.
  add(ControlKind::Button, kIdSuggest, "", "Suggest Levels");
  add(ControlKind::Button, kIdLearn, "", "Learn From Bookmarks").endsGroup = true;
  for (int id : {kIdAdd, kIdEdit, kIdAddCopy, kIdRemove, kIdRemoveAll, kIdSuggest, kIdLearn})
    control(id).sameRow = true;
  add(ControlKind::Group, kIdFileGroup, "", "Application Settings");
  add(ControlKind::Static, kIdFileHint, "",
      "Save or load processing parameters to / from a file for reuse or batch processing:");
  add(ControlKind::Button, kIdSave, "", "Save...").opensMore = true;
  ui::Control &load = add(ControlKind::Button, kIdLoad, "", "Load...");
  load.opensMore = true;
  load.sameRow = true;
  load.endsGroup = true;
  add(ControlKind::Button, kIdHelp, "", "Help");
  add(ControlKind::Button, ui::kIdOk, "", "OK").isDefault = true;
  add(ControlKind::Button, ui::kIdCancel, "", "Close");
}

void GenerateDialog::onInit() {
  if (!m_defaultsFile.empty()) {
    BookmarkBuilder &defaults = inMemoryDefaults();
    loadDefaults(m_defaultsFile,
                 [&defaults](CabinetHandle cab) { defaults.readNamed(kDefaultsKey, cab); });
    m_work = defaults;
  }
  settingsToControls();
  // While the dialog is open, the host's preview shows what its rules find.
  RulesPreview::instance().follow(&m_work);
}

void GenerateDialog::previewChanged() {
  if (ended() || !RulesPreview::instance().follows(&m_work))
    return;
  controlsToSettings(false);
  RulesPreview::instance().changed();
}

void GenerateDialog::settingsToControls() {
  control(kIdStartPage).value = std::to_string(std::max(m_work.firstPage + 1, 1));
  const bool toLast = m_work.lastPage < 0;
  setChecked(kIdLastPage, toLast);
  // To the last page: the (greyed) end field shows which page that is in the open document.
  int32_t lastPage = 1;
  if (toLast)
    try {
      if (const DocHandle doc = viewer().appGetActiveDoc())
        lastPage = std::max(hostTables().pdModel.must().docGetNumPages(doc), 1);
    } catch (const HostError &) {
    }
  control(kIdEndPage).value = std::to_string(toLast ? lastPage : std::max(m_work.lastPage + 1, 1));
  ui::Control &insert = control(kIdInsertType);
  insert.selected = 0;
  for (size_t i = 0; i < insert.itemData.size(); ++i)
    if (insert.itemData[i] == m_work.insertType)
      insert.selected = int(i);
  setChecked(kIdStopWordsBox, m_work.ignoreStopWords);
  setChecked(kIdDuplicates, m_work.skipDupBookmarks);
  setChecked(kIdSkipContents, m_work.skipContentsLines);
  setChecked(kIdSortText, m_work.sortText);
  rebuildLevels(false);
}

bool GenerateDialog::controlsToSettings(bool requireNumbers) {
  const bool toLast = checked(kIdLastPage);
  const auto start = pageNumber(control(kIdStartPage).value);
  const auto end = pageNumber(control(kIdEndPage).value);
  if (requireNumbers && (!start || (!toLast && !end))) {
    viewer().alertNote(kEnterAnInteger);
    return false;
  }
  if (toLast)
    m_work.lastPage = -1;
  else
    m_work.lastPage = end && *end > 0 ? int32_t(*end - 1) : 0;
  m_work.firstPage = start && *start > 0 ? int32_t(*start - 1) : 0;
  const ui::Control &insert = control(kIdInsertType);
  if (insert.selected >= 0 && size_t(insert.selected) < insert.itemData.size())
    m_work.insertType = int32_t(insert.itemData[size_t(insert.selected)]);
  m_work.ignoreStopWords = checked(kIdStopWordsBox);
  m_work.skipDupBookmarks = checked(kIdDuplicates);
  m_work.skipContentsLines = checked(kIdSkipContents);
  m_work.sortText = checked(kIdSortText);
  return true;
}

int GenerateDialog::selectedLevel() const {
  const ui::Control &tree = control(kIdLevels);
  if (tree.selected < 0 || size_t(tree.selected) >= tree.tree.size())
    return -1;
  const auto index = tree.tree[size_t(tree.selected)].data;
  return index >= 0 && size_t(index) < m_work.levels.size() ? int(index) : -1;
}

void GenerateDialog::rebuildLevels(bool selectLast) {
  ui::Control &tree = control(kIdLevels);
  const int previous = tree.selected;
  tree.tree.clear();
  tree.selected = -1;
  int parent = -1;
  for (size_t i = 0; i < m_work.levels.size(); ++i) {
    const std::string text =
        "Level " + std::to_string(i + 1) + " : (" + m_work.levels[i].describeLevel() + ")";
    const int entry = addTreeItem(kIdLevels, parent, text, 0, int64_t(i));
    if (parent >= 0)
      tree.tree[size_t(parent)].expanded = true;
    tree.selected = entry; // each new entry is selected as it is added
    parent = entry;
  }
  if (!selectLast && previous >= 0 && size_t(previous) < tree.tree.size())
    tree.selected = previous;
  applyEnabling();
}

void GenerateDialog::applyEnabling() {
  const bool selected = selectedLevel() >= 0;
  const bool any = !m_work.levels.empty();
  setEnabled(kIdEdit, selected);
  setEnabled(kIdRemove, selected);
  setEnabled(kIdAddCopy, selected);
  setEnabled(kIdRemoveAll, any);
  setEnabled(ui::kIdOk, any);
  setEnabled(kIdEndPage, !checked(kIdLastPage));
  setEnabled(kIdEditStopWords, checked(kIdStopWordsBox));
  bool document = false, bookmarks = false;
  try {
    if (const DocHandle doc = viewer().appGetActiveDoc()) {
      document = true;
      PDModelTable &pd = hostTables().pdModel.must();
      const BookmarkHandle root = pd.docGetBookmarkRoot(doc);
      bookmarks = pd.bookmarkIsValid(root) && pd.bookmarkHasChildren(root);
    }
  } catch (const HostError &) {
  }
  setEnabled(kIdSuggest, document);
  setEnabled(kIdLearn, bookmarks);
}

void GenerateDialog::saveDefaultsIfRemembering() {
  if (m_defaultsFile.empty())
    return;
  BookmarkBuilder &defaults = inMemoryDefaults();
  defaults = m_work;
  rememberDefaults(m_defaultsFile, kDefaultsKey,
                   [&defaults](CabinetHandle cab) { defaults.writeNamed(kDefaultsKey, cab); });
}

GenerateDialog::~GenerateDialog() {
  if (RulesPreview::instance().follows(&m_work))
    RulesPreview::instance().follow(nullptr);
}

void GenerateDialog::onOk() {
  if (!controlsToSettings(true))
    return;
  if (m_work.lastPage >= 0 && m_work.lastPage < m_work.firstPage) {
    viewer().alertNote(kPageRangeMessage);
    return;
  }
  saveDefaultsIfRemembering();
  m_settings = m_work;
  end(ui::DialogResult::Ok);
  RulesPreview::instance().follow(nullptr);
}

void GenerateDialog::onCancel() {
  controlsToSettings(false);
  saveDefaultsIfRemembering();
  end(ui::DialogResult::Cancel);
  RulesPreview::instance().follow(nullptr);
}

void GenerateDialog::editLevel(int index) {
  if (index < 0)
    return;
  LevelSheet sheet(m_work.levels[size_t(index)]);
  if (platformUi().runModal(sheet) == ui::DialogResult::Ok)
    rebuildLevels(false);
}

void GenerateDialog::onEvent(int id, ui::Event event) {
  // What the event changed shows in the host's preview, however the handler returns.
  struct Refresh {
    GenerateDialog &dialog;
    ~Refresh() {
      try {
        dialog.previewChanged();
      } catch (...) {
      }
    }
  } refresh{*this};
  try {
    switch (id) {
    case kIdLastPage:
    case kIdStopWordsBox: applyEnabling(); return;
    case kIdLevels:
      if (event == ui::Event::DoubleClicked)
        editLevel(selectedLevel());
      else
        applyEnabling();
      return;
    case kIdAdd: {
      LevelRule level;
      // New levels serve every document made the same way, whatever its font subsets, and
      // keep a code word or a logo inside a title.
      level.textStyleRule.ignoreSubsetPrefix = true;
      level.textMatchRule.inlineRuns = true;
      LevelSheet sheet(level);
      if (platformUi().runModal(sheet) == ui::DialogResult::Ok) {
        m_work.levels.push_back(level);
        rebuildLevels(true);
      }
      return;
    }
    case kIdEdit: editLevel(selectedLevel()); return;
    case kIdAddCopy:
      if (const int index = selectedLevel(); index >= 0) {
        const LevelRule copy = m_work.levels[size_t(index)];
        m_work.levels.push_back(copy);
        rebuildLevels(false);
      }
      return;
    case kIdRemove:
      if (const int index = selectedLevel(); index >= 0) {
        m_work.levels.erase(m_work.levels.begin() + index);
        rebuildLevels(false);
      }
      return;
    case kIdRemoveAll:
      if (viewer().alertConfirm(kDeleteAllLevels)) {
        m_work.levels.clear();
        rebuildLevels(false);
      }
      return;
    case kIdEditStopWords: {
      StopWordsEdit edit{m_work.stopWords, m_work.stopWordsMatchCase,
                         m_work.stopWordsMatchWholeWords, m_work.stopWordsUseRegExp};
      StopWordsDialog dialog(edit);
      if (platformUi().runModal(dialog) == ui::DialogResult::Ok) {
        m_work.stopWords = edit.words;
        m_work.stopWordsMatchCase = edit.matchCase;
        m_work.stopWordsMatchWholeWords = edit.wholeWords;
        m_work.stopWordsUseRegExp = edit.useRegExp;
      }
      return;
    }
    case kIdSave: save(); return;
    case kIdLoad: load(); return;
    case kIdSuggest: writeRules(false); return;
    case kIdLearn: writeRules(true); return;
    case kIdHelp:
      if (!platformUi().openHelp(m_helpFile))
        platformUi().messageBox("Failed to launch help.", title(), ui::MessageButtons::Ok);
      return;
    default: return;
    }
  } catch (const HostError &e) {
    viewer().alertNote(e.text());
  }
}

namespace {

std::string twoDecimals(double v) {
  char text[16];
  std::snprintf(text, sizeof text, "%.2f", v);
  return text;
}

std::string levelsCounted(size_t n) { return std::to_string(n) + (n == 1 ? " level" : " levels"); }

} // namespace

void GenerateDialog::writeRules(bool fromBookmarks) {
  const DocHandle doc = viewer().appGetActiveDoc();
  if (!doc)
    return;
  platformUi().setWaitCursor(true);
  struct WaitEnds {
    ~WaitEnds() {
      try {
        platformUi().setWaitCursor(false);
      } catch (const HostError &) {
      }
    }
  } waitEnds;
  const KeptText text = KeptText::read(doc);
  LearnResult learned;
  std::string said;
  if (fromBookmarks) {
    std::string gaps;
    const std::vector<OutlineMark> marks = outlineMarks(doc, gaps);
    learned = learnRules(text, marks);
    if (learned.settings.levels.empty()) {
      viewer().alertNote("No level rule could be learned: the titles of the bookmarks were not "
                         "found on the pages they lead to. The levels are unchanged.");
      return;
    }
    const Reproduction &r = learned.reproduction;
    said = "Learned " + levelsCounted(learned.settings.levels.size()) + " from the " +
           std::to_string(marks.size()) + " bookmarks: the rules make " + std::to_string(r.made) +
           " bookmarks, " + std::to_string(r.matched) + " of them the document's own (F1 " +
           twoDecimals(r.f1()) + "). New bookmarks will replace the existing ones.";
    m_work.insertType = int32_t(InsertType::Replace);
  } else {
    const RuleSuggestion s = suggestRules(text);
    learned = s.learned;
    if (learned.settings.levels.empty()) {
      std::string why = s.contentsUnusable + ", and no";
      why[0] = char(std::toupper(static_cast<unsigned char>(why[0])));
      viewer().alertNote((s.fromStyles ? why : std::string("No")) +
                         " text style stands out from the body text as a heading style. The "
                         "levels are unchanged.");
      return;
    }
    const std::string levels = levelsCounted(learned.settings.levels.size());
    if (s.fromStyles)
      said = "Suggested " + levels + " from the text styles (" + s.contentsUnusable +
             "); confidence " + twoDecimals(s.confidence) +
             ": a guess, so look at the preview before generating.";
    else
      said = "Suggested " + levels + " from the printed table of contents: the rules make " +
             std::to_string(learned.reproduction.made) + " bookmarks, " +
             std::to_string(learned.reproduction.matched) + " of its " +
             std::to_string(learned.reproduction.expected) + " entries among them (confidence " +
             twoDecimals(s.confidence) + ").";
  }
  m_work.levels = learned.settings.levels;
  m_work.keepOrphanHeadings = learned.settings.keepOrphanHeadings;
  if (learned.settings.ignoreStopWords) {
    m_work.ignoreStopWords = true;
    m_work.stopWords = learned.settings.stopWords;
    m_work.stopWordsMatchCase = learned.settings.stopWordsMatchCase;
    m_work.stopWordsMatchWholeWords = learned.settings.stopWordsMatchWholeWords;
    m_work.stopWordsUseRegExp = learned.settings.stopWordsUseRegExp;
  }
  settingsToControls();
  viewer().alertNote(said);
}

void GenerateDialog::save() {
  controlsToSettings(false);
  ui::FileRequest request;
  request.save = true;
  request.title = "Save Settings";
  request.filters = filters(kSettingsFilter);
  request.defaultExtension = "svb";
  request.defaultName = "NewSettings";
  request.overwritePrompt = true;
  const auto path = platformUi().chooseFile(request);
  if (!path)
    return;
  if (!saveSettingsFile(m_work, *path))
    viewer().alertNote(kSaveSettingsFailed);
}

void GenerateDialog::load() {
  ui::FileRequest request;
  request.title = "Load Settings";
  request.filters = filters(kSettingsFilter);
  request.defaultExtension = "svb";
  const auto path = platformUi().chooseFile(request);
  if (!path)
    return;
  // Read into a copy: a file without usable settings leaves the dialog as it was, so the list
  // never offers levels the settings do not hold.
  BookmarkBuilder loaded = m_work;
  switch (loadSettingsFile(loaded, *path)) {
  case LoadResult::UnreadableFile: viewer().alertNote(kSettingsUnreadable); return;
  case LoadResult::NoUsableEntry: viewer().alertNote(kSettingsCorrupted); return;
  case LoadResult::Loaded:
    m_work = loaded;
    settingsToControls();
    return;
  }
}

bool editBuildSettings(BookmarkBuilder &settings, const std::string &defaultsFile,
                       const std::string &helpFile) {
  GenerateDialog dialog(settings, defaultsFile, helpFile);
  return platformUi().runModal(dialog) == ui::DialogResult::Ok;
}

} // namespace sorvane
