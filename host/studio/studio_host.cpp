#include "host/studio/studio_host.h"

#include "host/studio/main_window.h"

namespace sorvane::studio {

StudioHost::StudioHost() {
  provider().win().setUi(&m_ui);
  view().setAppName(kAppName);
}

// The plug-in goes first: its last calls may still show something or keep its settings.
StudioHost::~StudioHost() {
  unloadPlugIn();
  provider().win().setUi(nullptr);
}

void StudioHost::note(std::string_view message) {
  m_ui.messageBox(message, kAppName, ui::MessageButtons::Ok);
}

bool StudioHost::confirm(std::string_view question) {
  return m_ui.messageBox(question, kAppName, ui::MessageButtons::YesNo) == ui::MessageAnswer::Yes;
}

void StudioHost::headingPreviewChanged() {
  if (m_window)
    m_window->headingPreviewChanged();
}

} // namespace sorvane::studio
