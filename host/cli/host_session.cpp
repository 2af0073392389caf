#include "host/cli/host_session.h"

#include <iostream>
#include <ostream>
#include <string>
#include <unistd.h>
#include <utility>

#include "host/runtime/action_dialog.h"
#include "host/runtime/view_services.h"

namespace sorvane::cli {

HostSession::HostSession(std::ostream &err) : m_err(err) {
  m_provider.provide(PDModelTable::kName, &m_pdf.pdModel());
  m_provider.provide(CosTable::kName, &m_pdf.cos());
  m_provider.provide(PagePDEContentTable::kName, &m_pdf.pageContent());
  m_provider.provide(PDFEditReadTable::kName, &m_pdf.editRead());
  m_provider.acroView().setActionEditor(
      [this](DocHandle doc, ActionHandle action, std::string_view title) {
        return host::editActionProperties(m_provider.win().ui(), m_pdf.pdModel(), m_provider.core(),
                                          doc, action, title);
      });
  m_provider.acroView().setNoteHandler([this, &err](std::string_view message) {
    ++m_notes;
    if (m_holding)
      m_held.emplace_back(message);
    else
      err << "sorvane: " << message << "\n";
  });
  // Questions are asked on a terminal (or answered by a dialog script) unless a command says
  // otherwise; never left to a refusal nobody hears of.
  answerConfirmations(false);
  // A dialog's message boxes are told too; they are part of a dialog, not a failure.
  ui().setMessageHandler(
      [&err](std::string_view message) { err << "sorvane: " << message << "\n"; });
}

namespace {
// The plug-in's host tables are process-wide: a second session loading it while one has it
// would leave the first with tables the second's unload tears down.
bool g_plugInLoaded = false;
} // namespace

HostSession::~HostSession() {
  if (m_plugIn) {
    m_plugIn.reset();
    g_plugInLoaded = false;
  }
}

std::vector<std::string> HostSession::takeHeldNotes() {
  m_holding = false;
  return std::exchange(m_held, {});
}

host::ScriptedUi &HostSession::ui() { return m_provider.win().scripted(); }

void HostSession::answerConfirmations(bool assumeYes) {
  m_provider.acroView().setConfirmHandler([this, assumeYes](std::string_view question) {
    if (assumeYes)
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
  });
}

void HostSession::loadPlugIn() {
  if (m_plugIn)
    return;
  if (g_plugInLoaded)
    throw HostError(ErrorCode::Generic,
                    "internal error: the plug-in is in use by another session of this run");
  m_plugIn = host::LoadedPlugIn::load(host::plugInsFolder() + "/sorvane.api", m_provider);
  g_plugInLoaded = true;
}

} // namespace sorvane::cli
