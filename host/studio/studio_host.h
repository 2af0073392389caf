// The studio's host: the runtime's tables with the PDF engine plugged in, the Qt UI backend,
// the plug-in, and the documents open in the window. Notes and confirmations become message
// boxes; progress goes to whatever the window sets.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/pdf/pdf_tables.h"
#include "host/runtime/host_tables.h"
#include "host/runtime/plugin_loader.h"
#include "host/runtime/view_services.h"
#include "host/studio/qt_ui.h"

namespace sorvane::studio {

inline constexpr const char *kAppName = "Sorvane Studio";

class StudioHost {
public:
  StudioHost();
  ~StudioHost();
  StudioHost(const StudioHost &) = delete;
  StudioHost &operator=(const StudioHost &) = delete;

  // Loads sorvane.api from `folder` (the host's plug-ins folder by default); the plug-in keeps
  // its remembered settings beside it. Throws HostError with the reason.
  void loadPlugIn(const std::string &folder = host::plugInsFolder());
  bool plugInLoaded() const { return m_plugIn != nullptr; }

  host::HostTableProvider &provider() { return m_provider; }
  host::PdfTables &pdf() { return m_pdf; }
  host::AcroView &view() { return m_provider.acroView(); }
  PDModelTable &pd() { return m_pdf.pdModel(); }
  QtUi &ui() { return m_ui; }

  // Opens `path` and gives it a handle. Throws HostError as PdfDocument::open does.
  DocHandle open(const std::string &path, const std::string &password = {});
  // Forgets `doc` and closes its file.
  void close(DocHandle doc);
  host::PdfDocument &document(DocHandle doc) { return m_pdf.document(doc); }

  // Pages a print request of the plug-in asked for since the last call, in order.
  std::vector<int> takePrintedPages();

private:
  host::PdfTables m_pdf;
  host::HostTableProvider m_provider;
  QtUi m_ui;
  std::vector<std::pair<DocHandle, std::unique_ptr<host::PdfDocument>>> m_documents;
  std::vector<int> m_printed;
  std::unique_ptr<host::LoadedPlugIn> m_plugIn; // unloaded before the tables go
};

} // namespace sorvane::studio
