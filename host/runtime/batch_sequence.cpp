#include "host/runtime/batch_sequence.h"

#include "sdk/host_error.h"

namespace sorvane::host {

BatchSequence::BatchSequence(AcroView &view, Atom name, CabinetHandle params)
    : m_view(view), m_handler(view.handlerFor(name)) {
  if (!m_handler)
    throw HostError(ErrorCode::BadParameter, "No plug-in offers this batch command.");
  m_command = m_view.commandNew(name);
  if (m_handler->createCommand)
    m_handler->createCommand(m_command);
  const CommandStatus status =
      m_handler->setParams ? m_handler->setParams(m_command, params) : CommandStatus::Ready;
  if (status != CommandStatus::Ready) {
    m_view.commandDestroy(m_command);
    throw HostError(ErrorCode::BadParameter, "The batch command refused its parameters.");
  }
}

BatchSequence::~BatchSequence() {
  try {
    if (m_handler->destroyCommand)
      m_handler->destroyCommand(m_command);
    m_view.commandDestroy(m_command);
  } catch (const HostError &) {
  }
}

CommandStatus BatchSequence::runOn(DocHandle doc, const ProgressMonitor *monitor,
                                   void *clientData) {
  m_view.commandSetRun(m_command, doc, monitor, clientData);
  m_view.commandSetStatus(m_command, CommandStatus::Ready);
  const CommandStatus status = m_handler->work ? m_handler->work(m_command) : CommandStatus::Done;
  m_view.commandSetStatus(m_command, status);
  m_outcome = m_view.commandLastReport(m_command);
  if (m_handler->reset)
    m_handler->reset(m_command);
  m_view.commandSetRun(m_command, DocHandle(), nullptr, nullptr);
  return status;
}

} // namespace sorvane::host
