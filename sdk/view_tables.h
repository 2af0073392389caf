// Viewer services ("AcroView") and the tables a plug-in imports without calling them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sdk/atom.h"
#include "sdk/batch_command.h"
#include "sdk/document_tables.h"
#include "sdk/handles.h"
#include "sdk/host_table.h"
#include "sdk/platform_ui.h"
#include "sdk/progress_monitor.h"
#include "sdk/run_outcome.h"

namespace sorvane {

using ExecuteProc = void (*)(void *clientData);
using ComputeEnabledProc = bool (*)(void *clientData);

// One piece of a text selection: text in one font, size and colour.
struct SelectedTextPiece {
  std::string fontName;           // as text runs name it
  double size = 0;                // points
  std::array<double, 3> colour{}; // device RGB, 0 to 1
  std::string text;
};

// What the user has selected in a document window: "Text" with its pieces, or another type
// ("" when nothing is selected).
struct DocSelection {
  std::string type;
  std::vector<SelectedTextPiece> pieces;
};

// A heading that rules find on a page, as a preview shows it.
struct HeadingPreview {
  int32_t level = 0; // 0: the top level
  HostRect box;      // the heading's line, default user space
  std::string title;
};

// What a plug-in offers a host with windows: the headings its rules (those being edited, else
// the remembered ones) find on a page, so the host can mark them on the page shown.
class HeadingPreviewer {
public:
  virtual ~HeadingPreviewer() = default;
  // The headings on page `page` of `doc`; none when no rules are set or the page is outside
  // their page range. Throws HostError when the page cannot be read.
  virtual std::vector<HeadingPreview> headingsOnPage(DocHandle doc, int32_t page) = 0;
  // True while a dialog edits the rules the preview follows (a host shows the preview then).
  virtual bool rulesBeingEdited() const { return false; }
};

// Windows, menus, alerts, batch commands, progress and printing.
class AcroViewTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kAcroView;

  // The progress monitor for work on the active document, and its client data in `clientData`;
  // null when the host shows no progress.
  virtual const ProgressMonitor *docProgressMonitor(void **clientData) = 0;
  // A note for the user (message and an OK button).
  virtual void alertNote(std::string_view message) = 0;
  // Shows (true) or restores (false) the wait cursor.
  virtual void showWaitCursor(bool on) = 0;
  // Asks the user to confirm; true for yes.
  virtual bool alertConfirm(std::string_view message) = 0;

  // Prints pages `firstPage` to `lastPage` (zero-based) of `doc` without asking.
  virtual void printPagesSilently(DocHandle doc, int32_t firstPage, int32_t lastPage,
                                  int32_t psLevel, bool binaryOk, bool shrinkToFit) = 0;

  // ---- the application
  virtual int16_t appGetVersionMajor() = 0;
  virtual bool appModalWindowIsOpen() = 0;
  // The document of the active window; null when no document is open.
  virtual DocHandle appGetActiveDoc() = 0;
  // The host's name as users know it ("sorvane", "Sorvane Studio").
  virtual std::string appGetName() = 0;

  // ---- document windows
  // What the window of `doc` shows beside the pages: 1 nothing, 3 the bookmarks pane.
  virtual void docViewSetPageMode(DocHandle doc, int32_t mode) = 0;
  // The selection in the window of `doc`.
  virtual DocSelection docViewGetSelection(DocHandle doc) = 0;
  // Brings the window of `doc` to the front; false when the document has no window.
  virtual bool docViewBringToFront(DocHandle doc) = 0;
  // The host's action-properties dialog titled `title` for `action` of `doc`: the action the
  // user confirmed (a new one, or `action` itself), or null when the user cancelled.
  virtual ActionHandle actionPropertiesDialog(DocHandle doc, ActionHandle action,
                                              std::string_view title) = 0;

  // The plug-in's heading preview (null: none). A host without windows may ignore it.
  virtual void appSetHeadingPreviewer(HeadingPreviewer *) {}
  // The rules of the preview changed: a host that shows it asks again.
  virtual void appHeadingPreviewChanged() {}

  // ---- menus
  virtual MenubarHandle appGetMenubar() = 0;
  // The menu of the menu bar named `name` (such as "Extensions"); null when there is none.
  virtual MenuHandle menubarAcquireMenuByName(MenubarHandle bar, std::string_view name) = 0;
  virtual MenuHandle menuNew(std::string_view title, std::string_view name, uint32_t owner) = 0;
  // An item; with a submenu it opens that menu.
  virtual MenuItemHandle menuItemNew(std::string_view title, std::string_view name,
                                     MenuHandle submenu, uint32_t owner) = 0;
  virtual void menuItemSetExecuteProc(MenuItemHandle item, ExecuteProc proc, void *data) = 0;
  virtual void menuItemSetComputeEnabledProc(MenuItemHandle item, ComputeEnabledProc proc,
                                             void *data) = 0;
  // Adds `item` at `position` (past the end: at the end).
  virtual void menuAddMenuItem(MenuHandle menu, MenuItemHandle item, int32_t position) = 0;
  virtual void menuRelease(MenuHandle menu) = 0;
  virtual void menuItemRelease(MenuItemHandle item) = 0;

  // ---- batch-sequence commands
  // Registers the handler of the commands named `name`; the record must outlive the host's use.
  virtual void commandRegisterHandler(Atom name, const CommandHandlerRecord *record) = 0;
  virtual bool commandGlobalExists(Atom name) = 0;
  virtual CommandHandle commandNew(Atom name) = 0;
  virtual void commandRegisterGlobal(CommandHandle command) = 0;
  // A Cabinet the command keeps under `key` ("Params", "ParamsDesc", "CommandState"); the command
  // owns it. Null when missing and `create` is not set.
  virtual CabinetHandle commandGetCab(CommandHandle command, std::string_view key, bool create) = 0;
  // Stores `cab` (which the command then owns) under `key`; a null Cabinet removes the entry.
  virtual void commandPutCab(CommandHandle command, std::string_view key, CabinetHandle cab) = 0;
  // Stores a copy of `params` as the command's parameters.
  virtual void commandSetParams(CommandHandle command, CabinetHandle params) = 0;
  // Copies the command's parameters into `params` (emptied first).
  virtual void commandGetParams(CommandHandle command, CabinetHandle params) = 0;
  // The document the command works on now; null outside a run.
  virtual DocHandle commandGetDoc(CommandHandle command) = 0;
  virtual const ProgressMonitor *commandGetProgressMonitor(CommandHandle command,
                                                           void **clientData) = 0;
  virtual CommandStatus commandGetStatus(CommandHandle command) = 0;
  // The command's report procedure: what its run on the current document did. A run reports
  // once; a host error that ended the run comes as an outcome whose stopCode is set.
  virtual void commandReport(CommandHandle command, const RunOutcome &outcome) = 0;
};

class PDSysFontTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kPDSysFont;
};

class PDSWriteTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kPDSWrite;
};

class PDSReadTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kPDSRead;
};

// Platform window services.
class WinTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kWin;

  // Dispatches pending paint messages, at most `max`; the number dispatched.
  virtual int32_t pumpPaintMessages(int32_t max) = 0;
  // Dialogs, message boxes, choosers, the help viewer and the per-user profile.
  virtual ui::UiServices &ui() = 0;
};

class AcroViewSweetPeaTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kAcroViewSweetPea;
};

class PDMetadataTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kPDMetadata;
};

} // namespace sorvane
