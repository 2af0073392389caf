// Running a plug-in's batch command over documents, in the order hosts call its procedures:
// create the command, set its parameters, then for each document work on it and reset it.
#pragma once

#include <optional>

#include "host/runtime/view_services.h"
#include "sdk/as_extra_table.h"
#include "sdk/owned_cabinet.h"

namespace sorvane::host {

class BatchSequence {
public:
  // A command named `name` with a copy of `params`. Throws HostError(BadParameter) when no
  // plug-in handles commands of that name, or when it refuses the parameters.
  BatchSequence(AcroView &view, ASExtraTable &cabinets, Atom name, CabinetHandle params);
  ~BatchSequence();
  BatchSequence(const BatchSequence &) = delete;
  BatchSequence &operator=(const BatchSequence &) = delete;

  // Lets the user edit the parameters in the command's dialog: Ready when they were changed,
  // Cancelled when the dialog was closed without OK.
  CommandStatus editParams();
  // Works on one open document; the status the command answers (Done, InError, ...).
  CommandStatus runOn(DocHandle doc, const ProgressMonitor *monitor, void *clientData);
  // The command's parameters as it keeps them (its defaults added), and its description of
  // them (the "ParamsDesc" property).
  OwnedCabinet params();
  OwnedCabinet describeParams();

  // What the command reported about the last document it worked on; nothing when it reported
  // nothing.
  std::optional<RunOutcome> lastOutcome() const { return m_outcome; }

private:
  AcroView &m_view;
  ASExtraTable &m_cabinets;
  const CommandHandlerRecord *m_handler;
  CommandHandle m_command;
  std::optional<RunOutcome> m_outcome;
};

} // namespace sorvane::host
