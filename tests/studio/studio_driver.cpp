#include "tests/studio/studio_driver.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <gtest/gtest.h>

#include "host/runtime/plugin_loader.h"

namespace sorvane::test {
namespace {

QString plain(QString text) { return text.remove('&').trimmed(); }

QString describe(QWidget *w) {
  QString text;
  if (auto *label = qobject_cast<QLabel *>(w))
    text = label->text();
  else if (auto *button = qobject_cast<QAbstractButton *>(w))
    text = button->text();
  else if (auto *group = qobject_cast<QGroupBox *>(w))
    text = group->title();
  else if (auto *combo = qobject_cast<QComboBox *>(w))
    text = combo->currentText();
  return QString("%1 '%2'").arg(w->metaObject()->className(), text.left(40));
}

} // namespace

DialogDriver::DialogDriver() {
  QTimer::singleShot(20, this, [this] { poll(); });
}

DialogDriver &DialogDriver::on(QString title, std::function<void(QWidget &)> act) {
  m_steps.push_back(Step{std::move(title), std::move(act)});
  return *this;
}

void DialogDriver::poll() {
  // Polls with a new timer each time: a step may block in a nested dialog, and the next step
  // runs from that dialog's event loop.
  QTimer::singleShot(20, this, [this] { poll(); });
  QWidget *window = QApplication::activeModalWidget();
  if (!window) {
    // A dialog standing beside the window (rules edited with the preview): the one taking
    // input, the step's own where there are several.
    for (QWidget *w : QApplication::topLevelWidgets())
      if (qobject_cast<QDialog *>(w) && w->isVisible() && w->isEnabled() &&
          (!window || (!m_steps.empty() && w->windowTitle() == m_steps.front().title)))
        window = w;
  }
  if (!window || !window->isVisible())
    return;
  if (m_steps.empty() || window->windowTitle() != m_steps.front().title) {
    if (window != m_stray) {
      m_stray = window;
      m_straySince = QDateTime::currentMSecsSinceEpoch();
    } else if (QDateTime::currentMSecsSinceEpoch() - m_straySince > 3000) {
      m_strays << window->windowTitle();
      ADD_FAILURE() << "an unexpected window stayed open: " << window->windowTitle().toStdString()
                    << (m_steps.empty() ? std::string()
                                        : " (waiting for " + waitingFor().toStdString() + ")");
      m_stray = nullptr;
      if (auto *dialog = qobject_cast<QDialog *>(window))
        dialog->reject();
      else
        window->close();
    }
    return;
  }
  m_stray = nullptr;
  Step step = std::move(m_steps.front());
  m_steps.pop_front();
  step.act(*window);
}

QWidget *control(QWidget &window, const QString &nameOrText) {
  if (auto *named = window.findChild<QWidget *>(nameOrText))
    return named;
  const QString wanted = plain(nameOrText);
  for (auto *button : window.findChildren<QAbstractButton *>())
    if (plain(button->text()) == wanted && button->isVisibleTo(&window))
      return button;
  for (auto *label : window.findChildren<QLabel *>())
    if (label->buddy() && plain(label->text()) == wanted)
      return label->buddy();
  return nullptr;
}

QStringList cutControls(QWidget &window) {
  QStringList cut;
  for (QWidget *w : window.findChildren<QWidget *>()) {
    if (w->isWindow() || !w->isVisibleTo(&window))
      continue;
    const bool showsText = qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w) ||
                           qobject_cast<QGroupBox *>(w) || qobject_cast<QComboBox *>(w);
    if (!showsText)
      continue;
    const QSize needs = w->minimumSizeHint();
    if (w->width() < needs.width() || w->height() < needs.height())
      cut << describe(w) + QString(" is %1x%2 of %3x%4")
                               .arg(w->width())
                               .arg(w->height())
                               .arg(needs.width())
                               .arg(needs.height());
    else if (QWidget *parent = w->parentWidget(); parent && !parent->rect().contains(w->geometry()))
      cut << describe(w) + " stands out of " + parent->metaObject()->className();
  }
  for (auto *tree : window.findChildren<QTreeWidget *>()) {
    if (!tree->isVisibleTo(&window))
      continue;
    const int column = tree->header()->sectionSize(0);
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
      int depth = 1;
      for (QTreeWidgetItem *up = (*it)->parent(); up; up = up->parent())
        ++depth;
      const int needs = depth * tree->indentation() + tree->iconSize().width() +
                        tree->fontMetrics().horizontalAdvance((*it)->text(0));
      if (column < needs)
        cut << QString("tree row '%1' in a column of %2 of %3")
                   .arg((*it)->text(0).left(40))
                   .arg(column)
                   .arg(needs);
    }
  }
  return cut;
}

void click(QWidget &window, const QString &nameOrText) {
  auto *button = qobject_cast<QAbstractButton *>(control(window, nameOrText));
  ASSERT_TRUE(button) << "no button " << nameOrText.toStdString() << " in "
                      << window.windowTitle().toStdString();
  ASSERT_TRUE(button->isEnabled()) << nameOrText.toStdString() << " is disabled";
  QTest::mouseClick(button, Qt::LeftButton);
}

void type(QWidget &window, const QString &nameOrText, const QString &text) {
  QWidget *field = control(window, nameOrText);
  if (auto *combo = qobject_cast<QComboBox *>(field))
    field = combo->lineEdit();
  if (auto *edit = qobject_cast<QLineEdit *>(field)) {
    ASSERT_TRUE(edit->isEnabled()) << nameOrText.toStdString() << " is disabled";
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
    return;
  }
  if (auto *box = qobject_cast<QPlainTextEdit *>(field)) {
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
    return;
  }
  FAIL() << "no text field " << nameOrText.toStdString();
}

void chooseFile(QWidget &window, const QString &path) {
  auto *chooser = qobject_cast<QFileDialog *>(&window);
  ASSERT_TRUE(chooser) << window.windowTitle().toStdString() << " is no file chooser";
  // The name goes into the chooser's field, as typed; the chooser reads its folder in a thread
  // of its own, so the answer waits until the chooser sees the name.
  chooser->setDirectory(QFileInfo(path).absolutePath());
  chooser->selectFile(path);
  if (auto *name = chooser->findChild<QLineEdit *>("fileNameEdit"))
    name->setText(QFileInfo(path).fileName());
  ASSERT_TRUE(waitFor(
      [&] {
        const QStringList chosen = chooser->selectedFiles();
        return chosen.size() == 1 && QFileInfo(chosen.first()) == QFileInfo(path);
      },
      5000))
      << "the chooser did not take " << path.toStdString();
  QMetaObject::invokeMethod(chooser, "accept");
}

void choose(QWidget &window, const QString &nameOrText, const QString &entry) {
  QWidget *field = control(window, nameOrText);
  ASSERT_TRUE(field) << "no list " << nameOrText.toStdString();
  if (auto *combo = qobject_cast<QComboBox *>(field)) {
    const int index = combo->findText(entry);
    ASSERT_GE(index, 0) << nameOrText.toStdString() << " has no " << entry.toStdString();
    combo->setCurrentIndex(index);
    emit combo->activated(index);
  } else if (auto *list = qobject_cast<QListWidget *>(field)) {
    const auto found = list->findItems(entry, Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty()) << nameOrText.toStdString() << " has no " << entry.toStdString();
    const QRect r = list->visualItemRect(found.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
  } else if (auto *tabs = qobject_cast<QTabWidget *>(field)) {
    for (int i = 0; i < tabs->count(); ++i)
      if (plain(tabs->tabText(i)) == entry)
        return tabs->setCurrentIndex(i);
    FAIL() << "no page " << entry.toStdString();
  } else if (auto *tree = qobject_cast<QTreeWidget *>(field)) {
    const auto found = tree->findItems(entry, Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_FALSE(found.isEmpty()) << nameOrText.toStdString() << " has no " << entry.toStdString();
    tree->scrollToItem(found.first());
    const QRect r = tree->visualItemRect(found.first());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, r.center());
  } else {
    FAIL() << nameOrText.toStdString() << " is no list";
  }
}

std::string privatePlugInsFolder(const std::string &folder) {
  namespace fs = std::filesystem;
  const fs::path from = host::plugInsFolder();
  const fs::path to = fs::path(folder) / "plug_ins";
  fs::create_directories(to);
  for (const char *name : {"sorvane.api", "sorvane.html"})
    fs::copy_file(from / name, to / name, fs::copy_options::overwrite_existing);
  return to.string();
}

bool waitFor(const std::function<bool()> &condition, int ms) {
  QDeadlineTimer deadline(ms);
  while (!condition()) {
    if (deadline.hasExpired())
      return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    QTest::qWait(5);
  }
  return true;
}

} // namespace sorvane::test
