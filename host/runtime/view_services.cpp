#include "host/runtime/view_services.h"

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

} // namespace sorvane::host
