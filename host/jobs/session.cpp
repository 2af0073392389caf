#include "host/jobs/session.h"

#include <algorithm>

#include "host/runtime/action_dialog.h"

namespace sorvane::jobs {
namespace {
bool g_plugInLoaded = false;
} // namespace

Session::Session() {
  m_provider.provide(PDModelTable::kName, &m_pdf.pdModel());
  m_provider.provide(CosTable::kName, &m_pdf.cos());
  m_provider.provide(PagePDEContentTable::kName, &m_pdf.pageContent());
  m_provider.provide(PDFEditReadTable::kName, &m_pdf.editRead());
  view().setFrontEnd(this);
}

void Session::printPages(DocHandle, int32_t first, int32_t last) {
  for (int32_t page = first; page <= last; ++page)
    m_printed.push_back(page);
}

ActionHandle Session::editAction(DocHandle doc, ActionHandle action, std::string_view title) {
  return host::editActionProperties(m_provider.win().ui(), m_pdf.pdModel(), m_provider.core(), doc,
                                    action, title);
}

const ProgressMonitor *Session::progressMonitor(void **clientData) {
  if (clientData)
    *clientData = m_monitorData;
  return m_monitor;
}

Session::~Session() {
  unloadPlugIn();
  while (!m_documents.empty())
    close(m_documents.back().first);
  view().setFrontEnd(nullptr);
}

void Session::loadPlugIn(const std::string &folder) {
  if (m_plugIn)
    return;
  if (g_plugInLoaded)
    throw HostError(ErrorCode::Generic,
                    "internal error: the plug-in is in use by another session of this run");
  m_plugIn = host::LoadedPlugIn::load(folder + "/sorvane.api", m_provider);
  g_plugInLoaded = true;
}

void Session::unloadPlugIn() {
  if (m_plugIn) {
    m_plugIn.reset();
    g_plugInLoaded = false;
  }
}

DocHandle Session::open(const std::string &path, const std::string &password) {
  return adopt(host::PdfDocument::open(path, password));
}

DocHandle Session::adopt(std::unique_ptr<host::PdfDocument> document) {
  const DocHandle doc = m_pdf.add(*document);
  m_documents.emplace_back(doc, std::move(document));
  view().setHasWindow(doc, true);
  return doc;
}

void Session::close(DocHandle doc) {
  view().setHasWindow(doc, false);
  if (view().appGetActiveDoc() == doc)
    view().setActiveDoc(DocHandle());
  m_pdf.remove(doc);
  m_documents.erase(std::remove_if(m_documents.begin(), m_documents.end(),
                                   [doc](const auto &d) { return d.first == doc; }),
                    m_documents.end());
}

void requireChangesAllowed(const host::PdfDocument &document, const std::string &name,
                           std::string_view howToUnlock) {
  const auto permissions = document.permissions();
  if (!permissions || (*permissions & kPermissionModify))
    return;
  std::string why = name + ": the document's security settings do not permit changes";
  if (!howToUnlock.empty())
    why += " (" + std::string(howToUnlock) + ")";
  throw HostError(ErrorCode::PdfPermission, why);
}

} // namespace sorvane::jobs
