// The studio's host: a session with the Qt UI backend, whose notes and confirmations become
// message boxes; progress and the heading preview go to the main window while one is attached.
#pragma once

#include <string>

#include "host/jobs/session.h"
#include "host/studio/qt_ui.h"

namespace sorvane::studio {

inline constexpr const char *kAppName = "Sorvane Studio";

class MainWindow;

class StudioHost : public jobs::Session {
public:
  StudioHost();
  ~StudioHost() override;

  PDModelTable &pd() { return pdf().pdModel(); }
  QtUi &ui() { return m_ui; }
  // The window the heading preview's changes go to; null: none.
  void attachWindow(MainWindow *window) { m_window = window; }

  // ---- the front end: message boxes, the wait cursor, the window's preview
  void note(std::string_view message) override;
  bool confirm(std::string_view question) override;
  void showWaitCursor(bool on) override { m_ui.setWaitCursor(on); }
  void headingPreviewChanged() override;

private:
  QtUi m_ui;
  MainWindow *m_window = nullptr;
};

} // namespace sorvane::studio
