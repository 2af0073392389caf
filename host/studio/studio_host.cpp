#include "host/studio/studio_host.h"

#include <algorithm>
#include <utility>

#include "host/runtime/action_dialog.h"

namespace sorvane::studio {

StudioHost::StudioHost() {
  m_provider.provide(PDModelTable::kName, &m_pdf.pdModel());
  m_provider.provide(CosTable::kName, &m_pdf.cos());
  m_provider.provide(PagePDEContentTable::kName, &m_pdf.pageContent());
  m_provider.provide(PDFEditReadTable::kName, &m_pdf.editRead());
  m_provider.win().setUi(&m_ui);
  host::AcroView &v = view();
  v.setAppName(kAppName);
  v.setActionEditor([this](DocHandle doc, ActionHandle action, std::string_view title) {
    return host::editActionProperties(m_ui, m_pdf.pdModel(), m_provider.core(), doc, action, title);
  });
  v.setWaitCursorHandler([this](bool on) { m_ui.setWaitCursor(on); });
  v.setNoteHandler([this](std::string_view message) {
    m_ui.messageBox(message, kAppName, ui::MessageButtons::Ok);
  });
  v.setConfirmHandler([this](std::string_view question) {
    return m_ui.messageBox(question, kAppName, ui::MessageButtons::YesNo) == ui::MessageAnswer::Yes;
  });
  v.setPrintHandler([this](DocHandle, int32_t first, int32_t last) {
    for (int32_t page = first; page <= last; ++page)
      m_printed.push_back(page);
  });
}

StudioHost::~StudioHost() {
  m_plugIn.reset();
  while (!m_documents.empty())
    close(m_documents.back().first);
}

void StudioHost::loadPlugIn(const std::string &folder) {
  if (!m_plugIn)
    m_plugIn = host::LoadedPlugIn::load(folder + "/sorvane.api", m_provider);
}

DocHandle StudioHost::open(const std::string &path, const std::string &password) {
  auto document = host::PdfDocument::open(path, password);
  const DocHandle doc = m_pdf.add(*document);
  m_documents.emplace_back(doc, std::move(document));
  view().setHasWindow(doc, true);
  return doc;
}

void StudioHost::close(DocHandle doc) {
  view().setHasWindow(doc, false);
  if (view().appGetActiveDoc() == doc)
    view().setActiveDoc(DocHandle());
  m_pdf.remove(doc);
  m_documents.erase(std::remove_if(m_documents.begin(), m_documents.end(),
                                   [doc](const auto &d) { return d.first == doc; }),
                    m_documents.end());
}

std::vector<int> StudioHost::takePrintedPages() { return std::exchange(m_printed, {}); }

} // namespace sorvane::studio
