#include "host/studio/qt_ui.h"
#include "host/studio/message_titles.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include "host/studio/model_dialog.h"
#include "host/studio/qt_text.h"
#include "sdk/host_error.h"

namespace sorvane::studio {

QWidget *QtUi::parentWidget() const {
  if (!m_open.empty())
    return m_open.back();
  return m_parent;
}

void QtUi::useProfileFile(std::string path) {
  m_profile.openFile(std::move(path));
  m_profileFixed = true;
}

ui::DialogResult QtUi::runModal(ui::Dialog &dialog) {
  // A dialog opened from one beside the page belongs to the window too (a child of the disabled
  // dialog would be disabled with it), and is the only dialog taking input until it closes.
  ModelDialog *outer = m_open.empty() || !m_open.back()->besidePage() ? nullptr : m_open.back();
  ModelDialog shown(dialog, outer ? m_parent : parentWidget());
  if (outer)
    outer->setEnabled(false);
  m_open.push_back(&shown);
  const auto besidePage = [this] {
    if (!m_besideWanted || !m_besideWanted())
      return false;
    if (m_beside++ == 0 && m_besideChanged)
      m_besideChanged(true);
    return true;
  };
  bool beside = false;
  ui::DialogResult result = ui::DialogResult::Cancel;
  try {
    result = shown.run([&] { return beside = besidePage(); });
  } catch (...) {
    m_open.pop_back();
    if (outer)
      outer->setEnabled(true);
    if (beside && --m_beside == 0 && m_besideChanged)
      m_besideChanged(false);
    throw;
  }
  m_open.pop_back();
  if (outer)
    outer->setEnabled(true);
  if (beside && --m_beside == 0 && m_besideChanged)
    m_besideChanged(false);
  return result;
}

QtUi::QtUi() { keepMessageTitlesWhole(); }

ui::MessageAnswer QtUi::messageBox(std::string_view text, std::string_view caption,
                                   ui::MessageButtons buttons) {
  QMessageBox box(parentWidget());
  box.setObjectName("message");
  box.setWindowTitle(qs(caption));
  box.setText(qs(text));
  switch (buttons) {
  case ui::MessageButtons::Ok:
    box.setIcon(QMessageBox::Information);
    box.setStandardButtons(QMessageBox::Ok);
    break;
  case ui::MessageButtons::OkCancel:
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    break;
  case ui::MessageButtons::YesNo:
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    break;
  }
  switch (box.exec()) {
  case QMessageBox::Ok: return ui::MessageAnswer::Ok;
  case QMessageBox::Yes: return ui::MessageAnswer::Yes;
  case QMessageBox::No: return ui::MessageAnswer::No;
  default: return ui::MessageAnswer::Cancel;
  }
}

std::optional<std::string> QtUi::chooseFile(const ui::FileRequest &request) {
  QFileDialog chooser(parentWidget(), qs(request.title));
  chooser.setObjectName("file-chooser");
  chooser.setOption(QFileDialog::DontUseNativeDialog);
  chooser.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  chooser.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (request.save && !request.overwritePrompt)
    chooser.setOption(QFileDialog::DontConfirmOverwrite);
  QStringList filters;
  for (const auto &[description, pattern] : request.filters) {
    QString patterns = qs(pattern);
    patterns.replace(';', ' ');
    // A description that names its patterns already ("Settings Files (*.svb)") stays.
    filters << (qs(description).contains('(') ? qs(description)
                                              : qs(description) + " (" + patterns + ")");
  }
  if (!filters.isEmpty())
    chooser.setNameFilters(filters);
  if (!request.defaultExtension.empty())
    chooser.setDefaultSuffix(qs(request.defaultExtension));
  if (!request.defaultName.empty())
    chooser.selectFile(qs(request.defaultName));
  if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
    return std::nullopt;
  return chooser.selectedFiles().first().toStdString();
}

std::optional<ui::Rgb> QtUi::chooseColour(ui::Rgb initial) {
  QColorDialog chooser(QColor(initial.r, initial.g, initial.b), parentWidget());
  chooser.setObjectName("colour-chooser");
  chooser.setOption(QColorDialog::DontUseNativeDialog);
  if (chooser.exec() != QDialog::Accepted)
    return std::nullopt;
  const QColor c = chooser.selectedColor();
  return ui::Rgb{uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue())};
}

void QtUi::setWaitCursor(bool on) {
  if (on) {
    ++m_waitCursor;
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (m_waitCursor > 0) {
    --m_waitCursor;
    QApplication::restoreOverrideCursor();
  }
}

int QtUi::pumpPaintMessages(int max) {
  (void)max;
  if (ModelDialog *dialog = openDialog())
    dialog->refresh(); // what the handler at work changed shows now
  QApplication::processEvents(QEventLoop::AllEvents, 20);
  return 1;
}

bool QtUi::takeButtonClick(ui::Dialog &dialog, int id) {
  QApplication::processEvents(QEventLoop::AllEvents, 20);
  for (ModelDialog *open : m_open)
    if (&open->model() == &dialog)
      return open->takeClick(id);
  return false;
}

bool QtUi::openHelp(std::string_view path) {
  const QString file = qs(path);
  if (m_helpOpener)
    return m_helpOpener(file);
  if (!QFileInfo::exists(file))
    return false;
  return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

int QtUi::profileInt(std::string_view section, std::string_view key, int fallback) {
  return m_profile.getInt(section, key, fallback);
}

void QtUi::setProfileInt(std::string_view section, std::string_view key, int value) {
  try {
    m_profile.setInt(section, key, value);
  } catch (const HostError &e) {
    messageBox("The preferences could not be saved: " + e.text(), "Sorvane Studio",
               ui::MessageButtons::Ok);
  }
}

void QtUi::setProfileOwner(std::string_view company, std::string_view application) {
  if (!m_profileFixed)
    m_profile.open(company, application);
}

} // namespace sorvane::studio
