// The host's viewer services ("AcroView", "Win"): menus, commands and view state are kept here;
// what is shown to the user goes to the front end.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "host/base/view_kinds.h"
#include "host/runtime/front_end.h"
#include "host/runtime/scripted_ui.h"
#include "sdk/as_extra_table.h"
#include "sdk/owned_cabinet.h"
#include "sdk/view_tables.h"

namespace sorvane::host {

class AcroView final : public AcroViewTable {
public:
  explicit AcroView(ASExtraTable &cabinets) : m_cabinets(cabinets) {}
  ~AcroView() override;

  // Who the user is: notes, questions, printing, the action editor, the preview and progress
  // go to `frontEnd` (not owned; null: nobody, notes are dropped and questions refused).
  void setFrontEnd(FrontEnd *frontEnd) { m_frontEnd = frontEnd; }

  const ProgressMonitor *docProgressMonitor(void **clientData) override;
  void alertNote(std::string_view message) override;
  void showWaitCursor(bool on) override;
  bool alertConfirm(std::string_view message) override;
  void printPagesSilently(DocHandle doc, int32_t firstPage, int32_t lastPage, int32_t psLevel,
                          bool binaryOk, bool shrinkToFit) override;

  int16_t appGetVersionMajor() override { return m_versionMajor; }
  bool appModalWindowIsOpen() override { return m_modalOpen; }
  DocHandle appGetActiveDoc() override { return m_activeDoc; }
  std::string appGetName() override { return m_appName; }
  void setAppName(std::string name) { m_appName = std::move(name); }

  void docViewSetPageMode(DocHandle doc, int32_t mode) override;
  DocSelection docViewGetSelection(DocHandle doc) override;
  // What the front end has selected in the window of `doc`.
  void setSelection(DocHandle doc, DocSelection selection);
  bool docViewBringToFront(DocHandle doc) override;
  ActionHandle actionPropertiesDialog(DocHandle doc, ActionHandle action,
                                      std::string_view title) override;
  // The page mode a document window was last given (Unknown when none was).
  PageMode pageMode(DocHandle doc) const;
  // The documents that have a window (the active one always has).
  void setHasWindow(DocHandle doc, bool on);

  void appSetHeadingPreviewer(HeadingPreviewer *previewer) override;
  void appHeadingPreviewChanged() override;
  // The plug-in's heading preview, or null.
  HeadingPreviewer *headingPreviewer() const { return m_previewer; }

  MenubarHandle appGetMenubar() override { return MenubarHandle(1); }
  MenuHandle menubarAcquireMenuByName(MenubarHandle bar, std::string_view name) override;
  MenuHandle menuNew(std::string_view title, std::string_view name, uint32_t owner) override;
  MenuItemHandle menuItemNew(std::string_view title, std::string_view name, MenuHandle submenu,
                             uint32_t owner) override;
  void menuItemSetExecuteProc(MenuItemHandle item, ExecuteProc proc, void *data) override;
  void menuItemSetComputeEnabledProc(MenuItemHandle item, ComputeEnabledProc proc,
                                     void *data) override;
  void menuAddMenuItem(MenuHandle menu, MenuItemHandle item, int32_t position) override;
  void menuRelease(MenuHandle) override {}
  void menuItemRelease(MenuItemHandle) override {}

  // ---- the menu bar as front ends show it
  struct MenuItem {
    std::string title;
    std::string name;
    int submenu = -1; // index into menus()
    ExecuteProc execute = nullptr;
    void *executeData = nullptr;
    ComputeEnabledProc enabled = nullptr;
    void *enabledData = nullptr;
  };
  struct Menu {
    std::string title;
    std::string name;
    std::vector<int> items; // indexes into items()
    bool onMenubar = false;
  };
  const std::vector<Menu> &menus() const { return m_menus; }
  const std::vector<MenuItem> &items() const { return m_items; }
  // The item named `name` anywhere in the menus, or null.
  const MenuItem *findItem(std::string_view name) const;
  // Runs the item named `name` when it is enabled (an item without enable procedure always
  // is). False when there is no such item or it is disabled.
  bool executeItem(std::string_view name);
  bool isItemEnabled(std::string_view name) const;
  size_t globalCommandCount() const { return m_globalCommands.size(); }
  // Takes a menu off the menu bar (a host without it).
  void removeMenubarMenu(std::string_view name);

  // ---- the application's state, as front ends set it
  void setActiveDoc(DocHandle doc) { m_activeDoc = doc; }
  void setModalWindowOpen(bool open) { m_modalOpen = open; }
  void setVersionMajor(int16_t major) { m_versionMajor = major; }

  // Registers the handler and readies it: its Initialize and RegisterCommands procedures run.
  void commandRegisterHandler(Atom name, const CommandHandlerRecord *record) override;
  bool commandGlobalExists(Atom name) override;
  CommandHandle commandNew(Atom name) override;
  void commandRegisterGlobal(CommandHandle command) override;
  CabinetHandle commandGetCab(CommandHandle command, std::string_view key, bool create) override;
  void commandPutCab(CommandHandle command, std::string_view key, CabinetHandle cab) override;
  void commandSetParams(CommandHandle command, CabinetHandle params) override;
  void commandGetParams(CommandHandle command, CabinetHandle params) override;
  DocHandle commandGetDoc(CommandHandle command) override;
  const ProgressMonitor *commandGetProgressMonitor(CommandHandle command,
                                                   void **clientData) override;
  CommandStatus commandGetStatus(CommandHandle command) override;
  void commandReport(CommandHandle command, const RunOutcome &outcome) override;
  // What the command reported about its last run, if it did.
  std::optional<RunOutcome> commandLastReport(CommandHandle command);

  // ---- for the host's batch sequences
  // The handler registered for `name`, or null.
  const CommandHandlerRecord *handlerFor(Atom name) const;
  void commandSetRun(CommandHandle command, DocHandle doc, const ProgressMonitor *monitor,
                     void *clientData);
  void commandSetStatus(CommandHandle command, CommandStatus status);
  void commandDestroy(CommandHandle command);

private:
  struct Command {
    Atom name = Atom::Null;
    std::map<std::string, OwnedCabinet, std::less<>> cabinets;
    DocHandle doc;
    const ProgressMonitor *monitor = nullptr;
    void *monitorData = nullptr;
    CommandStatus status = CommandStatus::Ready;
    std::optional<RunOutcome> report;
  };
  Command &command(CommandHandle handle);

  ASExtraTable &m_cabinets;
  std::vector<Menu> m_menus{{"", "Extensions", {}, true},
                            {"", "UsingExtensions", {}, true},
                            {"", "AboutExtensions", {}, true}};
  std::vector<MenuItem> m_items;
  DocHandle m_activeDoc;
  bool m_modalOpen = false;
  int16_t m_versionMajor = 5;
  std::string m_appName = "sorvane";
  std::unordered_map<uint64_t, PageMode> m_pageModes;
  std::unordered_map<uint64_t, DocSelection> m_selections;
  std::unordered_set<uint64_t> m_windows;
  HeadingPreviewer *m_previewer = nullptr;
  std::unordered_map<uint16_t, const CommandHandlerRecord *> m_handlers;
  std::unordered_map<uint64_t, Command> m_commands;
  std::unordered_set<uint16_t> m_global;
  std::vector<CommandHandle> m_globalCommands;
  uint64_t m_nextCommand = 1;
  FrontEnd *m_frontEnd = nullptr;
};

class Win final : public WinTable {
public:
  int32_t pumpPaintMessages(int32_t max) override { return ui().pumpPaintMessages(max); }
  ui::UiServices &ui() override { return m_ui ? *m_ui : m_scripted; }
  // The backend dialogs run in from now on; null: the scripted one.
  void setUi(ui::UiServices *backend) { m_ui = backend; }
  ScriptedUi &scripted() { return m_scripted; }

private:
  ScriptedUi m_scripted;
  ui::UiServices *m_ui = nullptr;
};

} // namespace sorvane::host
