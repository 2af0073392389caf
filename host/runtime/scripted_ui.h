// A UI backend without windows: dialogs are driven by a script of steps, each naming a control
// by its visible text (or its name) and doing what a user would do with it. A step that names a
// control the dialog does not have, or one that is disabled, fails the script loudly: every open
// dialog is cancelled and failure() says which step and why.
//
// Script format: one step per line, words separated by blanks, "quoted text" with \n, \t, \"
// and \\ escapes, '#' starts a comment.
//   dialog "TITLE"          the dialog now open must be this one
//   check "X" / uncheck "X" a check box (or a radio button: check only)
//   choose "X" "ENTRY"      an entry of a drop-down list, list or tab set
//   type "X" "TEXT"         the text of an edit field
//   press "X"               a button
//   select "X" "A" "B"...   a tree entry, by the texts from its top-level entry down
//   double-click "X" "A"... the same, double-clicked
//   show                    prints the open dialog as the backend sees it
//   answer Yes|No|OK|Cancel answers the message box that comes next
//   file "PATH" / no-file   answers the file chooser that comes next
//   colour R G B / no-colour answers the colour chooser that comes next
//   interrupt N             the N-th time a running operation looks for a click on its
//                           button, the user has clicked it
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/runtime/user_profile.h"
#include "sdk/platform_ui.h"

namespace sorvane::host {

struct ScriptStep {
  int line = 0;
  std::string verb;
  std::vector<std::string> args;
};

// The steps of a script. Throws HostError(BadParameter) naming the line of an unknown step, a
// step with the wrong number of words, or an unclosed quote.
std::vector<ScriptStep> parseDialogScript(std::string_view text);

class ScriptedUi final : public ui::UiServices {
public:
  ScriptedUi() = default;

  void setScript(std::vector<ScriptStep> steps);
  // Where "show" steps print the open dialog (null: nowhere).
  void setOutput(std::ostream *out) { m_show = out; }
  // Prints every dialog to the output as it opens, too.
  void setShowOnOpen(bool on) { m_showOnOpen = on; }
  void setShowDialogs(std::ostream *out) {
    setOutput(out);
    setShowOnOpen(out != nullptr);
  }
  // When the script runs out while a dialog is open: true cancels the dialog as a user closing
  // it would; false (the default) fails the script.
  void setCancelWhenDone(bool on) { m_cancelWhenDone = on; }
  // Sees each dialog as it closes, with its controls as they were last.
  void setDialogObserver(std::function<void(const ui::Dialog &)> observer);
  // Where message boxes are told (the command line: standard error); without one they are only
  // kept in the transcript.
  void setMessageHandler(std::function<void(std::string_view)> handler);

  // True while a script drives the dialogs: the host's own yes/no questions asked meanwhile
  // ("Delete all levels?") are the script's to answer too, through confirm().
  bool scripting() const { return !m_steps.empty(); }
  // A yes/no question of the host, answered by the script's next `answer Yes` or `answer No`
  // step as a message box with those buttons would be.
  bool confirm(std::string_view question) {
    return messageBox(question, "", ui::MessageButtons::YesNo) == ui::MessageAnswer::Yes;
  }

  // Why the script failed, or nothing.
  const std::optional<std::string> &failure() const { return m_failure; }
  // True when every step was used.
  bool finished() const { return m_next >= m_steps.size(); }
  // The steps not used, for the message that says so.
  std::string unusedSteps() const;
  // What happened, one line per dialog opened, message box, chooser and help request.
  const std::vector<std::string> &transcript() const { return m_transcript; }
  int waitCursorDepth() const { return m_waitCursor; }
  UserProfile &profile() { return m_profile; }

  ui::DialogResult runModal(ui::Dialog &dialog) override;
  ui::MessageAnswer messageBox(std::string_view text, std::string_view caption,
                               ui::MessageButtons buttons) override;
  std::optional<std::string> chooseFile(const ui::FileRequest &request) override;
  std::optional<ui::Rgb> chooseColour(ui::Rgb initial) override;
  void setWaitCursor(bool on) override { m_waitCursor += on ? 1 : -1; }
  int pumpPaintMessages(int) override { return 0; }
  bool takeButtonClick(ui::Dialog &dialog, int id) override;
  bool openHelp(std::string_view path) override;
  int profileInt(std::string_view section, std::string_view key, int fallback) override;
  void setProfileInt(std::string_view section, std::string_view key, int value) override;
  void setProfileOwner(std::string_view company, std::string_view application) override;
  std::string profileFolder() override { return m_profileInMemory ? "" : m_profile.folder(); }
  // Keeps the profile in memory only from now on (a run that must not change the user's
  // remembered choices).
  void keepProfileInMemory() {
    m_profileInMemory = true;
    m_profile = UserProfile();
  }

private:
  void fail(const ScriptStep *step, const std::string &why);
  void apply(ui::Dialog &dialog, const ScriptStep &step);
  // The next step when it has the verb `verb` (consumed), else null.
  const ScriptStep *take(std::string_view verb);

  std::vector<ScriptStep> m_steps;
  size_t m_next = 0;
  std::optional<std::string> m_failure;
  std::vector<std::string> m_transcript;
  std::ostream *m_show = nullptr;
  bool m_showOnOpen = false;
  bool m_cancelWhenDone = false;
  std::function<void(const ui::Dialog &)> m_observer;
  std::function<void(std::string_view)> m_messageHandler;
  int m_interruptAfter = 0;
  int m_waitCursor = 0;
  UserProfile m_profile;
  bool m_profileInMemory = false;
};

} // namespace sorvane::host
