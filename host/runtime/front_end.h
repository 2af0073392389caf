// What a host shows the user and asks of them, as the viewer services pass it on: notes,
// questions, the wait cursor, printing, the action editor, the heading preview, progress. Each
// front end (the command line, the studio, the tests' host) implements it once; what one leaves
// out behaves as a host without windows.
#pragma once

#include <cstdint>
#include <string_view>

#include "sdk/handles.h"
#include "sdk/host_error.h"
#include "sdk/progress_monitor.h"

namespace sorvane::host {

class FrontEnd {
public:
  virtual ~FrontEnd() = default;

  // A message for the user.
  virtual void note(std::string_view message) = 0;
  // A yes/no question; no when nobody can answer it.
  virtual bool confirm(std::string_view) { return false; }
  virtual void showWaitCursor(bool) {}
  // Pages `first` to `last` (from 0) of `doc` for the printer. Throws HostError when there is
  // none.
  virtual void printPages(DocHandle, int32_t, int32_t) {
    throw HostError(ErrorCode::Generic, "No printer is available.");
  }
  // The action-properties dialog for `action` of `doc`: the edited action, or a null handle
  // when the user cancelled it (or there is nobody to show it to).
  virtual ActionHandle editAction(DocHandle, ActionHandle, std::string_view) {
    return ActionHandle();
  }
  // The plug-in set its heading preview or said that its rules changed.
  virtual void headingPreviewChanged() {}
  // The monitor for long work on the active document, and its client data; none by default.
  virtual const ProgressMonitor *progressMonitor(void **clientData) {
    if (clientData)
      *clientData = nullptr;
    return nullptr;
  }
};

} // namespace sorvane::host
