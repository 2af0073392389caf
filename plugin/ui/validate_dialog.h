// "Validate Bookmarks": runs the checks of every bookmark as often as the user asks, shows the
// problems in a report tree, and opens a bookmark's action for repair from the report.
#pragma once

#include <string>
#include <vector>

#include "plugin/outline/validate_outline.h"
#include "sdk/handles.h"
#include "sdk/platform_ui.h"

namespace sorvane {

inline constexpr const char *kValidatingSection = "BookmarkValidating";
inline constexpr const char *kNoActiveDocumentOpen =
    "No active document open. Please open a document and try again.";
inline constexpr const char *kNoErrorsFound = "No errors found";
inline constexpr const char *kEditActionTitle = "Edit Bookmark Action";

class ValidateDialog final : public ui::Dialog {
public:
  enum : int {
    kIdIntro = 100,
    kIdSettings,
    kIdOutside,
    kIdExternal,
    kIdReportGroup,
    kIdHint,
    kIdReport,
    kIdStatus,
    kIdValidate,
  };
  // Report icons.
  enum : int { kIconNoErrors = 0, kIconBookmark = 1, kIconMessage = 2 };

  // The dialog for the document window of `doc` (null: none was active).
  explicit ValidateDialog(DocHandle doc);

  void onInit() override;
  void onEvent(int id, ui::Event event) override;
  void onOk() override {} // the dialog ends only with Close
  void onCancel() override;

  const std::vector<ValidationResult> &results() const { return m_results; }
  int processed() const { return m_processed; }

private:
  void moveBoxesIn();
  void run();
  bool progress();
  void editAction();

  DocHandle m_doc;
  bool m_warnOutside = true;
  bool m_verifyExternal = false;
  std::vector<ValidationResult> m_results;
  int m_processed = 0;
};

} // namespace sorvane
