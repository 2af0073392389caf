// The studio's host: a session with the Qt UI backend, whose notes and confirmations become
// message boxes; progress goes to whatever the window sets.
#pragma once

#include <string>
#include <vector>

#include "host/jobs/session.h"
#include "host/studio/qt_ui.h"

namespace sorvane::studio {

inline constexpr const char *kAppName = "Sorvane Studio";

class StudioHost : public jobs::Session {
public:
  StudioHost();
  ~StudioHost();

  PDModelTable &pd() { return pdf().pdModel(); }
  QtUi &ui() { return m_ui; }

  // Pages a print request of the plug-in asked for since the last call, in order.
  std::vector<int> takePrintedPages();

private:
  QtUi m_ui;
  std::vector<int> m_printed;
};

} // namespace sorvane::studio
