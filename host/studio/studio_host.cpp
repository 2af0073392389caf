#include "host/studio/studio_host.h"

#include <utility>

namespace sorvane::studio {

StudioHost::StudioHost() {
  provider().win().setUi(&m_ui);
  host::AcroView &v = view();
  v.setAppName(kAppName);
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

// The plug-in goes first: its last calls may still show something or keep its settings.
StudioHost::~StudioHost() {
  unloadPlugIn();
  provider().win().setUi(nullptr);
}

std::vector<int> StudioHost::takePrintedPages() { return std::exchange(m_printed, {}); }

} // namespace sorvane::studio
