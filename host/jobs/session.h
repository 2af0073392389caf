// A host's session: the runtime's tables with the PDF engine plugged in, the plug-in, and the
// documents open in it, each owned by the session from open to close. It is the front end of
// its viewer services: the command line, the studio and the tests' host each build on one and
// override how they talk to the user. By default notes are kept (notes()), questions are
// refused, pages to print are collected (takePrintedPages()) and actions are edited in the
// dialogs of the window's UI backend.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/pdf/pdf_document.h"
#include "host/pdf/pdf_tables.h"
#include "host/runtime/front_end.h"
#include "host/runtime/host_tables.h"
#include "host/runtime/plugin_loader.h"
#include "host/runtime/view_services.h"

namespace sorvane::jobs {

class Session : public host::FrontEnd {
public:
  // The tables wired; actions are edited in the dialogs of whatever UI backend the window has.
  Session();
  ~Session() override;
  Session(const Session &) = delete;
  Session &operator=(const Session &) = delete;

  // Loads sorvane.api from `folder`. Throws HostError with the reason, also when another session
  // of the process has it loaded (the plug-in's tables are process-wide: one session at a time).
  void loadPlugIn(const std::string &folder = host::plugInsFolder());
  bool plugInLoaded() const { return m_plugIn != nullptr; }
  // Unloads the plug-in, if loaded. A host that hands the session handlers over its own members
  // calls this in its destructor, so that the plug-in's last calls still find them.
  void unloadPlugIn();

  host::HostTableProvider &provider() { return m_provider; }
  host::PdfTables &pdf() { return m_pdf; }
  host::AcroView &view() { return m_provider.acroView(); }

  // Opens `path` and gives it a handle. Throws HostError as PdfDocument::open does.
  DocHandle open(const std::string &path, const std::string &password = {});
  // Gives a document opened elsewhere a handle; the session owns it from now on.
  DocHandle adopt(std::unique_ptr<host::PdfDocument> document);
  // Forgets `doc` (no longer active, no longer shown) and closes its file.
  void close(DocHandle doc);
  // Throws HostError(InvalidHandle) for a handle of no open document.
  host::PdfDocument &document(DocHandle doc) { return m_pdf.document(doc); }

  // Long work on the active document reports to `monitor` (null: to none).
  void setProgressMonitor(const ProgressMonitor *monitor, void *clientData) {
    m_monitor = monitor;
    m_monitorData = clientData;
  }
  const std::vector<std::string> &notes() const { return m_notes; }
  void clearNotes() { m_notes.clear(); }
  // Pages a print request of the plug-in asked for since the last call, in order.
  std::vector<int> takePrintedPages() { return std::exchange(m_printed, {}); }

  // ---- the front end
  void note(std::string_view message) override { m_notes.emplace_back(message); }
  void printPages(DocHandle doc, int32_t first, int32_t last) override;
  ActionHandle editAction(DocHandle doc, ActionHandle action, std::string_view title) override;
  const ProgressMonitor *progressMonitor(void **clientData) override;

private:
  host::PdfTables m_pdf;
  host::HostTableProvider m_provider;
  std::vector<std::pair<DocHandle, std::unique_ptr<host::PdfDocument>>> m_documents;
  std::unique_ptr<host::LoadedPlugIn> m_plugIn; // unloaded before the tables go
  const ProgressMonitor *m_monitor = nullptr;
  void *m_monitorData = nullptr;
  std::vector<std::string> m_notes;
  std::vector<int> m_printed;
};

// A document open in a session for the length of a scope.
class OpenDocument {
public:
  OpenDocument(Session &session, std::unique_ptr<host::PdfDocument> document)
      : m_session(session), m_doc(session.adopt(std::move(document))) {}
  ~OpenDocument() { m_session.close(m_doc); }
  OpenDocument(const OpenDocument &) = delete;
  OpenDocument &operator=(const OpenDocument &) = delete;

  DocHandle doc() const { return m_doc; }
  host::PdfDocument &document() { return m_session.document(m_doc); }

private:
  Session &m_session;
  DocHandle m_doc;
};

// Throws HostError(PdfPermission) when the security settings of `document`, opened from `name`,
// forbid changes; `howToUnlock`, when given, is said after the reason in parentheses.
void requireChangesAllowed(const host::PdfDocument &document, const std::string &name,
                           std::string_view howToUnlock = {});

} // namespace sorvane::jobs
