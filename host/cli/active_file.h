// A PDF file open as the active document of a command-line host with the plug-in loaded, as
// the plug-in's menu commands expect it.
#pragma once

#include <memory>
#include <ostream>

#include "host/cli/cli_support.h"
#include "host/cli/host_session.h"
#include "host/jobs/session.h"
#include "host/runtime/view_services.h"

namespace sorvane::cli {

struct ActiveFile {
  HostSession session;
  std::unique_ptr<jobs::OpenDocument> opened;
  host::PdfDocument *document = nullptr;
  DocHandle doc;

  ActiveFile(std::ostream &err, const Arguments &a) : session(err) {
    session.answerConfirmations(a.flag("--yes"));
    session.loadPlugIn();
    opened = std::make_unique<jobs::OpenDocument>(
        session, openDocument(a.positional()[0], password(a), err));
    session.setDocumentName(a.positional()[0]);
    document = &opened->document();
    doc = opened->doc();
    view().setActiveDoc(doc);
  }
  host::AcroView &view() { return session.provider().acroView(); }
};

} // namespace sorvane::cli
