#include "host/runtime/batch_sequence.h"

#include "sdk/host_error.h"

namespace sorvane::host {

BatchSequence::BatchSequence(AcroView &view, ASExtraTable &cabinets, Atom name,
                             CabinetHandle params)
    : m_view(view), m_cabinets(cabinets), m_handler(view.handlerFor(name)) {
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

OwnedCabinet BatchSequence::params() {
  OwnedCabinet out(m_cabinets, m_cabinets.cabinetNew());
  if (m_handler->getParams)
    m_handler->getParams(m_command, out.get());
  return out;
}

OwnedCabinet BatchSequence::describeParams() {
  OwnedCabinet out(m_cabinets, m_cabinets.cabinetNew());
  if (!m_handler->getProps)
    return out;
  const OwnedCabinet props(m_cabinets, m_cabinets.cabinetNew());
  m_cabinets.cabinetPutBool(props.get(), "ParamsDesc", false); // only this property
  m_handler->getProps(m_command, props.get());
  if (CabinetHandle desc = m_cabinets.cabinetGetCabinet(props.get(), "ParamsDesc"))
    m_cabinets.cabinetMerge(out.get(), desc, CabinetMergeMode::ReplaceAll);
  return out;
}

CommandStatus BatchSequence::editParams() {
  if (!m_handler->showDialog)
    throw HostError(ErrorCode::BadParameter, "The command has no dialog for its parameters.");
  return m_handler->showDialog(m_command);
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
