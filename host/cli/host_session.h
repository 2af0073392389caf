// The command line's host: a session whose notes go to standard error and whose questions are
// asked on the terminal, the plug-in loaded on demand.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "host/jobs/session.h"
#include "host/runtime/scripted_ui.h"

namespace sorvane::cli {

class HostSession : public jobs::Session {
public:
  explicit HostSession(std::ostream &err);
  ~HostSession();
  HostSession(const HostSession &) = delete;
  HostSession &operator=(const HostSession &) = delete;

  // How confirmations are answered: yes when `assumeYes`, else by the user on a terminal, else
  // no (and the session remembers that a question went unanswered).
  void answerConfirmations(bool assumeYes) { m_assumeYes = assumeYes; }
  bool confirmationRefused() const { return m_refused; }
  // The file a question about "the active document" is asked of, named in it on a terminal.
  void setDocumentName(std::string name) { m_documentName = std::move(name); }

  // The backend the plug-in's dialogs run in.
  host::ScriptedUi &ui();
  // Notes the plug-in showed since the session began.
  int notesShown() const { return m_notesShown; }
  // While held, the plug-in's notes are kept instead of told, for a command that tells them
  // once it knows how its work ended; takeHeldNotes() hands them over and tells the next ones.
  void holdNotes() { m_holding = true; }
  std::vector<std::string> takeHeldNotes();

  // ---- the front end: notes to standard error, questions on the terminal
  void note(std::string_view message) override;
  bool confirm(std::string_view question) override;

private:
  int m_notesShown = 0;
  bool m_holding = false;
  std::vector<std::string> m_held;
  bool m_refused = false;
  bool m_assumeYes = false;
  std::string m_documentName;
  std::ostream &m_err;
};

} // namespace sorvane::cli
