// The host's viewer services ("AcroView", "Win") for front ends without windows: notes go to a
// handler the front end sets, progress to the monitor it sets.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "sdk/as_extra_table.h"
#include "sdk/view_tables.h"

namespace sorvane::host {

class AcroView final : public AcroViewTable {
public:
  explicit AcroView(ASExtraTable &cabinets) : m_cabinets(cabinets) {}
  ~AcroView() override;

  const ProgressMonitor *docProgressMonitor(void **clientData) override;
  void alertNote(std::string_view message) override;
  void showWaitCursor(bool) override {}

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

  // ---- for the host's batch sequences
  // The handler registered for `name`, or null.
  const CommandHandlerRecord *handlerFor(Atom name) const;
  void commandSetRun(CommandHandle command, DocHandle doc, const ProgressMonitor *monitor,
                     void *clientData);
  void commandSetStatus(CommandHandle command, CommandStatus status);
  void commandDestroy(CommandHandle command);

  // Where notes go; without a handler they are kept in notes().
  void setNoteHandler(std::function<void(std::string_view)> handler);
  void setProgressMonitor(const ProgressMonitor *monitor, void *clientData);
  const std::vector<std::string> &notes() const { return m_notes; }
  void clearNotes() { m_notes.clear(); }

private:
  struct Command {
    Atom name = Atom::Null;
    std::map<std::string, CabinetHandle, std::less<>> cabinets; // owned
    DocHandle doc;
    const ProgressMonitor *monitor = nullptr;
    void *monitorData = nullptr;
    CommandStatus status = CommandStatus::Ready;
  };
  Command &command(CommandHandle handle);

  ASExtraTable &m_cabinets;
  std::unordered_map<uint16_t, const CommandHandlerRecord *> m_handlers;
  std::unordered_map<uint64_t, Command> m_commands;
  std::unordered_set<uint16_t> m_global;
  uint64_t m_nextCommand = 1;
  std::function<void(std::string_view)> m_noteHandler;
  std::vector<std::string> m_notes;
  const ProgressMonitor *m_monitor = nullptr;
  void *m_monitorData = nullptr;
};

class Win final : public WinTable {
public:
  int32_t pumpPaintMessages(int32_t) override { return 0; } // no windows to paint
};

} // namespace sorvane::host
