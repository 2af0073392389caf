#include "host/cli/host_session.h"

#include <ostream>

#include "host/runtime/view_services.h"

namespace sorvane::cli {

HostSession::HostSession(std::ostream &err) {
  m_provider.provide(PDModelTable::kName, &m_pdf.pdModel());
  m_provider.provide(CosTable::kName, &m_pdf.cos());
  m_provider.provide(PagePDEContentTable::kName, &m_pdf.pageContent());
  m_provider.provide(PDFEditReadTable::kName, &m_pdf.editRead());
  m_provider.acroView().setNoteHandler([this, &err](std::string_view message) {
    ++m_notes;
    err << "sorvane: " << message << "\n";
  });
}

HostSession::~HostSession() { m_plugIn.reset(); }

void HostSession::loadPlugIn() {
  if (!m_plugIn)
    m_plugIn = host::LoadedPlugIn::load(host::plugInsFolder() + "/sorvane.api", m_provider);
}

} // namespace sorvane::cli
