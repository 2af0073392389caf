// Driving the studio as a user would, for tests and the screenshot tool: steps that wait for a
// dialog to open and then click, type and choose in it, and lookups of its controls.
#pragma once

#include <QAbstractButton>
#include <QDialog>
#include <QObject>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

namespace sorvane::test {

// Steps run in order, each on the modal window titled as it says once that window is up (a
// step's clicks may open a nested dialog: the next step runs in it).
class DialogDriver final : public QObject {
public:
  DialogDriver();
  // Adds a step for the window titled `title`.
  DialogDriver &on(QString title, std::function<void(QWidget &)> act);
  // True when every step ran.
  bool done() const { return m_steps.empty(); }
  // The title of the step waited for, for a failing test's message.
  QString waitingFor() const { return m_steps.empty() ? QString() : m_steps.front().title; }
  // Modal windows no step was for, closed after a few seconds so that a test cannot hang.
  const QStringList &strays() const { return m_strays; }

private:
  struct Step {
    QString title;
    std::function<void(QWidget &)> act;
  };
  void poll();
  std::deque<Step> m_steps;
  QStringList m_strays;
  QWidget *m_stray = nullptr;
  qint64 m_straySince = 0;
};

// The control of `window` named `name` (object name) or showing `text` (a button's or check
// box's text without '&', a field's label); null when there is none.
QWidget *control(QWidget &window, const QString &nameOrText);
// Clicks the button or check box `nameOrText` with the mouse; fails the test when it is missing
// or disabled.
void click(QWidget &window, const QString &nameOrText);
// Types `text` into the field `nameOrText` (after clearing it).
void type(QWidget &window, const QString &nameOrText, const QString &text);
// Answers the file chooser `window` with `path`.
void chooseFile(QWidget &window, const QString &path);
// Chooses the entry `entry` of the drop-down, list, tab set or tree `nameOrText`.
void choose(QWidget &window, const QString &nameOrText, const QString &entry);
// A plug-ins folder of its own in `folder` (the built plug-in and its help file copied there),
// so that the settings the plug-in remembers stay with one test; its path.
std::string privatePlugInsFolder(const std::string &folder);
// The controls of `window` the layout cuts: a text, button, box or group smaller than it needs
// to show whole, one standing out of its parent, a tree row wider than its column; each as
// "kind 'text'". Empty when nothing is cut.
QStringList cutControls(QWidget &window);
// Processes events until `condition` holds or `ms` milliseconds passed; whether it holds.
bool waitFor(const std::function<bool()> &condition, int ms = 20000);

} // namespace sorvane::test
