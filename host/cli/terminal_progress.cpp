#include "host/cli/terminal_progress.h"

#include <algorithm>
#include <ostream>

#include "host/base/file_io.h"

namespace sorvane::cli {
namespace {

constexpr int kBarWidth = 30;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

TerminalProgress &self(void *data) { return *static_cast<TerminalProgress *>(data); }

// Text without the trailing blanks a progress text may carry.
std::string trimmed(std::string s) {
  while (!s.empty() && s.back() == ' ')
    s.pop_back();
  return s;
}

} // namespace

TerminalProgress::TerminalProgress(std::ostream &out, bool isTerminal, ASExtraTable &text)
    : m_out(out), m_terminal(isTerminal), m_text(text) {
  m_monitor.beginOperation = [](void *d) { self(d).begin(); };
  m_monitor.endOperation = [](void *d) { self(d).end(); };
  m_monitor.setDuration = [](int32_t total, void *d) { self(d).setDuration(total); };
  m_monitor.setCurrValue = [](int32_t value, void *d) { self(d).setValue(value); };
  m_monitor.setText = [](TextHandle t, void *d) { self(d).setText(t); };
  // Ctrl-C (or a termination signal) asks the work to stop at its next step.
  m_monitor.cancelRequested = [](void *) { return host::interruptRequested(); };
}

void TerminalProgress::begin() {
  m_total = 0;
  m_value = 0;
  m_label.clear();
  m_drawn = false;
}

void TerminalProgress::end() {
  if (m_terminal && m_drawn) {
    m_value = m_total;
    draw();
    m_out << "\n";
  }
  m_out.flush();
  m_drawn = false;
}

void TerminalProgress::setDuration(int32_t total) { m_total = std::max(total, 0); }

void TerminalProgress::setValue(int32_t value) {
  m_value = std::clamp(value, 0, std::max(m_total, 0));
  if (m_terminal && std::chrono::steady_clock::now() - m_lastDraw >= kRedrawInterval)
    draw();
}

void TerminalProgress::setText(TextHandle text) {
  m_label = trimmed(m_text.textGetEncoded(text, HostEncoding::Utf8));
  if (!m_subject.empty())
    m_label = m_subject + ": " + m_label;
  if (m_terminal)
    draw();
  else
    m_out << m_label << "\n";
}

void TerminalProgress::draw() {
  const int filled = m_total > 0 ? int(int64_t(kBarWidth) * m_value / m_total) : 0;
  const int percent = m_total > 0 ? int(int64_t(100) * m_value / m_total) : 0;
  m_out << "\r\x1b[2K[" << std::string(size_t(filled), '#')
        << std::string(size_t(kBarWidth - filled), '.') << "] " << percent << "%  " << m_label;
  m_out.flush();
  m_drawn = true;
  m_lastDraw = std::chrono::steady_clock::now();
}

} // namespace sorvane::cli
