// "Generate Bookmarks (Sorvane Plug-in)": the build settings of a generation — page range,
// insertion, stop words, duplicates, vertical sorting and the list of levels — with Save and
// Load of settings files.
#pragma once

#include <string>

#include "plugin/engine/bookmark_builder.h"
#include "sdk/platform_ui.h"

namespace sorvane {

inline constexpr const char *kPageRangeMessage =
    "Incorrect page range specified. Last page number can't be less than a starting page.";
inline constexpr const char *kEnterAnInteger = "Please enter an integer.";
inline constexpr const char *kDeleteAllLevels = "Delete all levels?";
inline constexpr const char *kSettingsFilter =
    "Sorvane Settings (*.svb)|*.svb; *.svb|All Files (*.*)|*.*||";

class GenerateDialog final : public ui::Dialog {
public:
  enum : int {
    kIdIntro = 100,
    kIdOptionsGroup,
    kIdStartPage,
    kIdEndPage,
    kIdLastPage,
    kIdInsertType,
    kIdStopWordsBox,
    kIdEditStopWords,
    kIdDuplicates,
    kIdSortText,
    kIdSkipContents,
    kIdLevelsGroup,
    kIdLevelsHint,
    kIdLevels,
    kIdAdd,
    kIdEdit,
    kIdAddCopy,
    kIdRemove,
    kIdRemoveAll,
    kIdFileGroup,
    kIdFileHint,
    kIdSave,
    kIdLoad,
    kIdHelp,
    kIdSuggest,
    kIdLearn,
  };

  // Edits a private copy of `settings`, copied back only on OK. With a defaults file (the
  // Generate command) the dialog starts from the remembered defaults and remembers its
  // settings at OK and Close; with an empty path (the batch command) it does neither.
  GenerateDialog(BookmarkBuilder &settings, std::string defaultsFile, std::string helpFile);
  ~GenerateDialog() override;

  void onInit() override;
  void onEvent(int id, ui::Event event) override;
  void onOk() override;
  void onCancel() override;

  const BookmarkBuilder &working() const { return m_work; }

private:
  void settingsToControls();
  // False (with the message shown) when a page field that counts is empty.
  bool controlsToSettings(bool requireNumbers);
  void rebuildLevels(bool selectLast);
  void applyEnabling();
  // Tells the host's preview that the rules may have changed.
  void previewChanged();
  int selectedLevel() const;
  void saveDefaultsIfRemembering();
  void editLevel(int index);
  void save();
  void load();
  // Replaces the levels with rules written for the active document: from its own bookmarks, or
  // suggested from its printed table of contents or its text styles; says what they are.
  void writeRules(bool fromBookmarks);

  BookmarkBuilder &m_settings;
  BookmarkBuilder m_work;
  std::string m_defaultsFile;
  std::string m_helpFile;
};

// Runs the dialog on `settings`; true when it ended with OK (the settings were updated).
bool editBuildSettings(BookmarkBuilder &settings, const std::string &defaultsFile,
                       const std::string &helpFile);

} // namespace sorvane
