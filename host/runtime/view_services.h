// The host's viewer services ("AcroView", "Win") for front ends without windows: notes go to a
// handler the front end sets, progress to the monitor it sets.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "sdk/view_tables.h"

namespace sorvane::host {

class AcroView final : public AcroViewTable {
public:
  const ProgressMonitor *docProgressMonitor(void **clientData) override;
  void alertNote(std::string_view message) override;
  void showWaitCursor(bool) override {}

  // Where notes go; without a handler they are kept in notes().
  void setNoteHandler(std::function<void(std::string_view)> handler);
  void setProgressMonitor(const ProgressMonitor *monitor, void *clientData);
  const std::vector<std::string> &notes() const { return m_notes; }
  void clearNotes() { m_notes.clear(); }

private:
  std::function<void(std::string_view)> m_noteHandler;
  std::vector<std::string> m_notes;
  const ProgressMonitor *m_monitor = nullptr;
  void *m_monitorData = nullptr;
};

class Win final : public WinTable {
public:
  int32_t pumpPaintMessages(int32_t) override { return 0; } // no windows to paint
};

} // namespace sorvane::host
