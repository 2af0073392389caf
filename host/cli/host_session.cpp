#include "host/cli/host_session.h"

#include <iostream>
#include <ostream>
#include <string>
#include <unistd.h>
#include <utility>

#include "host/runtime/view_services.h"

namespace sorvane::cli {

HostSession::HostSession(std::ostream &err) : m_err(err) {
  // A dialog's message boxes are told too; they are part of a dialog, not a failure.
  ui().setMessageHandler(
      [&err](std::string_view message) { err << "sorvane: " << message << "\n"; });
}

void HostSession::note(std::string_view message) {
  ++m_notesShown;
  if (m_holding)
    m_held.emplace_back(message);
  else
    m_err << "sorvane: " << message << "\n";
}

// The plug-in goes while the handlers it may still call have what they use.
HostSession::~HostSession() { unloadPlugIn(); }

std::vector<std::string> HostSession::takeHeldNotes() {
  m_holding = false;
  return std::exchange(m_held, {});
}

host::ScriptedUi &HostSession::ui() { return provider().win().scripted(); }

// Questions are asked on a terminal (or answered by a dialog script) unless a command says
// otherwise; never left to a refusal nobody hears of.
bool HostSession::confirm(std::string_view question) {
  if (m_assumeYes)
    return true;
  // While a dialog script runs, the script answers (without an `answer` step it fails).
  if (ui().scripting()) {
    return ui().confirm(question);
  }
  if (!::isatty(0)) {
    m_refused = true;
    return false;
  }
  // On a command line no document is "active": the question names the file.
  std::string asked(question);
  constexpr std::string_view kActive = "the active document";
  if (const size_t at = asked.find(kActive); at != std::string::npos && !m_documentName.empty())
    asked.replace(at, kActive.size(), m_documentName);
  m_err << asked << " [y/N] " << std::flush;
  std::string answer;
  std::getline(std::cin, answer);
  const bool yes = !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
  m_refused = !yes;
  return yes;
}

} // namespace sorvane::cli
