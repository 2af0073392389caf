#include "host/runtime/view_services.h"

#include "sdk/host_error.h"

namespace sorvane::host {

const ProgressMonitor *AcroView::docProgressMonitor(void **clientData) {
  if (clientData)
    *clientData = m_monitorData;
  return m_monitor;
}

void AcroView::alertNote(std::string_view message) {
  if (m_noteHandler)
    m_noteHandler(message);
  else
    m_notes.emplace_back(message);
}

void AcroView::setNoteHandler(std::function<void(std::string_view)> handler) {
  m_noteHandler = std::move(handler);
}

void AcroView::setProgressMonitor(const ProgressMonitor *monitor, void *clientData) {
  m_monitor = monitor;
  m_monitorData = clientData;
}

AcroView::~AcroView() {
  for (auto &[id, cmd] : m_commands)
    for (auto &[key, cab] : cmd.cabinets)
      m_cabinets.cabinetDestroy(cab);
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
}

bool AcroView::commandGlobalExists(Atom name) { return m_global.count(uint16_t(name)) != 0; }

CommandHandle AcroView::commandNew(Atom name) {
  const uint64_t id = m_nextCommand++;
  m_commands[id].name = name;
  return CommandHandle(id);
}

void AcroView::commandRegisterGlobal(CommandHandle handle) {
  m_global.insert(uint16_t(command(handle).name));
}

CabinetHandle AcroView::commandGetCab(CommandHandle handle, std::string_view key, bool create) {
  Command &cmd = command(handle);
  if (auto it = cmd.cabinets.find(key); it != cmd.cabinets.end())
    return it->second;
  if (!create)
    return CabinetHandle();
  CabinetHandle cab = m_cabinets.cabinetNew();
  cmd.cabinets.emplace(std::string(key), cab);
  return cab;
}

void AcroView::commandPutCab(CommandHandle handle, std::string_view key, CabinetHandle cab) {
  Command &cmd = command(handle);
  if (auto it = cmd.cabinets.find(key); it != cmd.cabinets.end()) {
    if (it->second == cab)
      return;
    m_cabinets.cabinetDestroy(it->second);
    cmd.cabinets.erase(it);
  }
  if (cab)
    cmd.cabinets.emplace(std::string(key), cab);
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

const CommandHandlerRecord *AcroView::handlerFor(Atom name) const {
  auto it = m_handlers.find(uint16_t(name));
  return it == m_handlers.end() ? nullptr : it->second;
}

void AcroView::commandSetRun(CommandHandle handle, DocHandle doc, const ProgressMonitor *monitor,
                             void *clientData) {
  Command &cmd = command(handle);
  cmd.doc = doc;
  cmd.monitor = monitor;
  cmd.monitorData = clientData;
}

void AcroView::commandSetStatus(CommandHandle handle, CommandStatus status) {
  command(handle).status = status;
}

void AcroView::commandDestroy(CommandHandle handle) {
  Command &cmd = command(handle);
  for (auto &[key, cab] : cmd.cabinets)
    m_cabinets.cabinetDestroy(cab);
  m_commands.erase(handle.value());
}

} // namespace sorvane::host
