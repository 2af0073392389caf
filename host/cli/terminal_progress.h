// The command line's progress monitor: a bar with the current text on a terminal, plain lines
// (one per text) when standard error is not a terminal.
#pragma once

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <utility>

#include "sdk/as_extra_table.h"
#include "sdk/progress_monitor.h"

namespace sorvane::cli {

class TerminalProgress {
public:
  TerminalProgress(std::ostream &out, bool isTerminal, ASExtraTable &text);

  // The record to hand to the host, with this object as its client data.
  const ProgressMonitor &monitor() const { return m_monitor; }
  void *clientData() { return this; }
  // What the work is on ("book.pdf"), named before each text; for runs over many files.
  void setSubject(std::string subject) { m_subject = std::move(subject); }

private:
  void begin();
  void end();
  void setDuration(int32_t total);
  void setValue(int32_t value);
  void setText(TextHandle text);
  void draw();

  std::ostream &m_out;
  bool m_terminal;
  ASExtraTable &m_text;
  ProgressMonitor m_monitor;
  int32_t m_total = 0;
  int32_t m_value = 0;
  std::string m_label;
  std::string m_subject;
  bool m_drawn = false;
  std::chrono::steady_clock::time_point m_lastDraw{};
};

} // namespace sorvane::cli
