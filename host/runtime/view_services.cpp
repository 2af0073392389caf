#include "host/runtime/view_services.h"

#include <algorithm>

#include "sdk/host_error.h"

namespace sorvane::host {

const ProgressMonitor *AcroView::docProgressMonitor(void **clientData) {
  if (m_frontEnd)
    return m_frontEnd->progressMonitor(clientData);
  if (clientData)
    *clientData = nullptr;
  return nullptr;
}

void AcroView::appSetHeadingPreviewer(HeadingPreviewer *previewer) {
  m_previewer = previewer;
  appHeadingPreviewChanged();
}

void AcroView::appHeadingPreviewChanged() {
  if (m_frontEnd)
    m_frontEnd->headingPreviewChanged();
}

void AcroView::alertNote(std::string_view message) {
  if (m_frontEnd)
    m_frontEnd->note(message);
}

void AcroView::showWaitCursor(bool on) {
  if (m_frontEnd)
    m_frontEnd->showWaitCursor(on);
}

bool AcroView::alertConfirm(std::string_view message) {
  return m_frontEnd && m_frontEnd->confirm(message);
}

void AcroView::printPagesSilently(DocHandle doc, int32_t firstPage, int32_t lastPage, int32_t, bool,
                                  bool) {
  if (!m_frontEnd)
    throw HostError(ErrorCode::Generic, "No printer is available.");
  m_frontEnd->printPages(doc, firstPage, lastPage);
}

void AcroView::docViewSetPageMode(DocHandle doc, int32_t mode) {
  if (doc)
    m_pageModes[doc.value()] = pageModeOf(mode);
}

DocSelection AcroView::docViewGetSelection(DocHandle doc) {
  const auto it = m_selections.find(doc.value());
  return it == m_selections.end() ? DocSelection() : it->second;
}

void AcroView::setSelection(DocHandle doc, DocSelection selection) {
  m_selections[doc.value()] = std::move(selection);
}

PageMode AcroView::pageMode(DocHandle doc) const {
  const auto it = m_pageModes.find(doc.value());
  return it == m_pageModes.end() ? PageMode::Unknown : it->second;
}

bool AcroView::docViewBringToFront(DocHandle doc) {
  if (!doc || (doc != m_activeDoc && !m_windows.count(doc.value())))
    return false;
  m_activeDoc = doc;
  return true;
}

void AcroView::setHasWindow(DocHandle doc, bool on) {
  if (on)
    m_windows.insert(doc.value());
  else
    m_windows.erase(doc.value());
}

ActionHandle AcroView::actionPropertiesDialog(DocHandle doc, ActionHandle action,
                                              std::string_view title) {
  return m_frontEnd ? m_frontEnd->editAction(doc, action, title) : ActionHandle();
}

MenuHandle AcroView::menubarAcquireMenuByName(MenubarHandle, std::string_view name) {
  for (size_t i = 0; i < m_menus.size(); ++i)
    if (m_menus[i].onMenubar && m_menus[i].name == name)
      return MenuHandle(i + 1);
  return MenuHandle();
}

MenuHandle AcroView::menuNew(std::string_view title, std::string_view name, uint32_t) {
  m_menus.push_back(Menu{std::string(title), std::string(name), {}, false});
  return MenuHandle(m_menus.size());
}

MenuItemHandle AcroView::menuItemNew(std::string_view title, std::string_view name,
                                     MenuHandle submenu, uint32_t) {
  MenuItem item;
  item.title = title;
  item.name = name;
  if (submenu) {
    if (submenu.value() > m_menus.size())
      throw HostError(ErrorCode::InvalidHandle, "Invalid menu handle.");
    item.submenu = int(submenu.value() - 1);
  }
  m_items.push_back(std::move(item));
  return MenuItemHandle(m_items.size());
}

namespace {
template <class V> auto &at(V &v, uint64_t handle, const char *what) {
  if (handle == 0 || handle > v.size())
    throw HostError(ErrorCode::InvalidHandle, std::string("Invalid ") + what + " handle.");
  return v[handle - 1];
}
} // namespace

void AcroView::menuItemSetExecuteProc(MenuItemHandle item, ExecuteProc proc, void *data) {
  MenuItem &i = at(m_items, item.value(), "menu item");
  i.execute = proc;
  i.executeData = data;
}

void AcroView::menuItemSetComputeEnabledProc(MenuItemHandle item, ComputeEnabledProc proc,
                                             void *data) {
  MenuItem &i = at(m_items, item.value(), "menu item");
  i.enabled = proc;
  i.enabledData = data;
}

void AcroView::menuAddMenuItem(MenuHandle menu, MenuItemHandle item, int32_t position) {
  Menu &m = at(m_menus, menu.value(), "menu");
  at(m_items, item.value(), "menu item");
  const size_t pos = position < 0 ? 0 : std::min(size_t(position), m.items.size());
  m.items.insert(m.items.begin() + long(pos), int(item.value() - 1));
}

const AcroView::MenuItem *AcroView::findItem(std::string_view name) const {
  for (const MenuItem &item : m_items)
    if (item.name == name)
      return &item;
  return nullptr;
}

bool AcroView::isItemEnabled(std::string_view name) const {
  const MenuItem *item = findItem(name);
  return item && (!item->enabled || item->enabled(item->enabledData));
}

bool AcroView::executeItem(std::string_view name) {
  const MenuItem *item = findItem(name);
  if (!item || !isItemEnabled(name) || !item->execute)
    return false;
  item->execute(item->executeData);
  return true;
}

void AcroView::removeMenubarMenu(std::string_view name) {
  for (Menu &m : m_menus)
    if (m.onMenubar && m.name == name)
      m.onMenubar = false;
}

AcroView::~AcroView() {
  for (CommandHandle c : m_globalCommands)
    if (m_commands.count(c.value()))
      commandDestroy(c);
}

AcroView::Command &AcroView::command(CommandHandle handle) {
  auto it = m_commands.find(handle.value());
  if (it == m_commands.end())
    throw HostError(ErrorCode::InvalidHandle, "Invalid command handle.");
  return it->second;
}

void AcroView::commandRegisterHandler(Atom name, const CommandHandlerRecord *record) {
  if (!record || record->size != kCommandHandlerRecordSize)
    throw HostError(ErrorCode::BadParameter, "Invalid command handler record.");
  m_handlers[uint16_t(name)] = record;
  // The host readies a handler as soon as it is registered.
  if (record->initialize && !record->initialize()) {
    m_handlers.erase(uint16_t(name));
    throw HostError(ErrorCode::Generic, "The batch command could not initialise.");
  }
  if (record->registerCommands)
    record->registerCommands();
}

bool AcroView::commandGlobalExists(Atom name) { return m_global.count(uint16_t(name)) != 0; }

CommandHandle AcroView::commandNew(Atom name) {
  const uint64_t id = m_nextCommand++;
  m_commands[id].name = name;
  return CommandHandle(id);
}

void AcroView::commandRegisterGlobal(CommandHandle handle) {
  m_global.insert(uint16_t(command(handle).name));
  m_globalCommands.push_back(handle);
}

CabinetHandle AcroView::commandGetCab(CommandHandle handle, std::string_view key, bool create) {
  Command &cmd = command(handle);
  if (auto it = cmd.cabinets.find(key); it != cmd.cabinets.end())
    return it->second.get();
  if (!create)
    return CabinetHandle();
  const CabinetHandle cab = m_cabinets.cabinetNew();
  cmd.cabinets.emplace(std::string(key), OwnedCabinet(m_cabinets, cab));
  return cab;
}

void AcroView::commandPutCab(CommandHandle handle, std::string_view key, CabinetHandle cab) {
  Command &cmd = command(handle);
  if (auto it = cmd.cabinets.find(key); it != cmd.cabinets.end()) {
    if (it->second.get() == cab)
      return;
    cmd.cabinets.erase(it);
  }
  if (cab)
    cmd.cabinets.emplace(std::string(key), OwnedCabinet(m_cabinets, cab));
}

void AcroView::commandSetParams(CommandHandle handle, CabinetHandle params) {
  commandPutCab(handle, "Params", m_cabinets.cabinetDup(params));
}

void AcroView::commandGetParams(CommandHandle handle, CabinetHandle params) {
  m_cabinets.cabinetMakeEmpty(params);
  if (CabinetHandle own = commandGetCab(handle, "Params", false))
    m_cabinets.cabinetMerge(params, own, CabinetMergeMode::ReplaceAll);
}

DocHandle AcroView::commandGetDoc(CommandHandle handle) { return command(handle).doc; }

const ProgressMonitor *AcroView::commandGetProgressMonitor(CommandHandle handle,
                                                           void **clientData) {
  Command &cmd = command(handle);
  if (clientData)
    *clientData = cmd.monitorData;
  return cmd.monitor;
}

CommandStatus AcroView::commandGetStatus(CommandHandle handle) { return command(handle).status; }

void AcroView::commandReport(CommandHandle handle, const RunOutcome &outcome) {
  command(handle).report = outcome;
}

std::optional<RunOutcome> AcroView::commandLastReport(CommandHandle handle) {
  return command(handle).report;
}

const CommandHandlerRecord *AcroView::handlerFor(Atom name) const {
  auto it = m_handlers.find(uint16_t(name));
  return it == m_handlers.end() ? nullptr : it->second;
}

void AcroView::commandSetRun(CommandHandle handle, DocHandle doc, const ProgressMonitor *monitor,
                             void *clientData) {
  Command &cmd = command(handle);
  if (doc)
    cmd.report.reset(); // a new run: nothing reported yet
  cmd.doc = doc;
  cmd.monitor = monitor;
  cmd.monitorData = clientData;
}

void AcroView::commandSetStatus(CommandHandle handle, CommandStatus status) {
  command(handle).status = status;
}

void AcroView::commandDestroy(CommandHandle handle) {
  command(handle); // (an unknown handle throws)
  m_commands.erase(handle.value());
}

} // namespace sorvane::host
