#include "host/studio/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <exception>

#include "host/pdf/page_copy.h"
#include "host/pdf/text_selection.h"
#include "host/runtime/as_extra.h"
#include "host/runtime/view_services.h"
#include "host/studio/batch_window.h"
#include "host/studio/document_tab.h"
#include "host/studio/message_titles.h"
#include "host/studio/qt_text.h"
#include "host/studio/studio_host.h"
#include "host/studio/studio_icons.h"
#include "sdk/host_error.h"

namespace sorvane::studio {
namespace {

constexpr int kMaxRecent = 10;
// The host's page modes: nothing beside the pages, or the bookmarks pane.

MainWindow *self(void *data) { return static_cast<MainWindow *>(data); }

} // namespace

MainWindow::MainWindow(StudioHost &host, QWidget *parent) : QMainWindow(parent), m_host(host) {
  setObjectName("main-window");
  setWindowTitle(kAppName);
  keepMessageTitlesWhole();
  setWindowIcon(applicationIcon());
  setAcceptDrops(true);
  m_tabs = new QTabWidget(this);
  m_tabs->setObjectName("documents");
  m_tabs->setTabsClosable(true);
  m_tabs->setDocumentMode(true);
  m_tabs->setMovable(true);
  setCentralWidget(m_tabs);
  connect(m_tabs, &QTabWidget::currentChanged, this, &MainWindow::currentChanged);
  connect(m_tabs, &QTabWidget::tabCloseRequested, this, [this](int i) { closeTab(i); });

  m_status = new QLabel(this);
  m_progress = new QProgressBar(this);
  m_progress->setObjectName("progress");
  m_progress->setMaximumWidth(220);
  m_cancel = new QPushButton(tr("Cancel"), this);
  m_cancel->setObjectName("cancel");
  statusBar()->addWidget(m_status, 1);
  statusBar()->addPermanentWidget(m_progress);
  statusBar()->addPermanentWidget(m_cancel);
  m_progress->hide();
  m_cancel->hide();
  connect(m_cancel, &QPushButton::clicked, this, [this] {
    m_stopRequested = true;
    m_status->setText(tr("Stopping..."));
  });

  m_monitor.beginOperation = &MainWindow::beginOperation;
  m_monitor.endOperation = &MainWindow::endOperation;
  m_monitor.setDuration = &MainWindow::setDuration;
  m_monitor.setCurrValue = &MainWindow::setCurrValue;
  m_monitor.setText = &MainWindow::setText;
  m_monitor.cancelRequested = &MainWindow::cancelRequested;
  m_host.setProgressMonitor(&m_monitor, this);
  m_host.ui().setParentWindow(this);

  // The preview follows the plug-in's rules and the pages in view, a moment after they change.
  m_previewTimer = new QTimer(this);
  m_previewTimer->setSingleShot(true);
  m_previewTimer->setInterval(30);
  connect(m_previewTimer, &QTimer::timeout, this, &MainWindow::updatePreview);
  m_host.attachWindow(this);
  m_host.ui().setBesidePage(
      [this] {
        // (not from a window that blocks this one, such as the batch window's settings)
        HeadingPreviewer *previewer = m_host.view().headingPreviewer();
        return previewer && previewer->rulesBeingEdited() && m_busy &&
               !QApplication::activeModalWidget();
      },
      [this](bool on) { setPageUsable(on); });

  buildMenus();
  buildToolBar();
  buildHostMenus();
  updateActions();
  resize(1200, 860);
}

MainWindow::~MainWindow() {
  m_host.attachWindow(nullptr);
  m_host.setProgressMonitor(nullptr, nullptr);
  m_host.ui().setParentWindow(nullptr);
  m_host.ui().setBesidePage({}, {});
  while (m_tabs->count() > 0) {
    DocumentTab *t = tab(0);
    m_tabs->removeTab(0);
    const DocHandle doc = t->doc();
    delete t;
    m_host.close(doc);
  }
}

QAction *MainWindow::action(const QString &name) const {
  if (const auto at = m_actions.find(name); at != m_actions.end())
    return at->second;
  if (const auto at = m_hostActions.find(name); at != m_hostActions.end())
    return at->second;
  return nullptr;
}

void MainWindow::buildMenus() {
  auto add = [this](QMenu *menu, const QString &name, const QString &text, QKeySequence keys = {}) {
    QAction *a = menu->addAction(text);
    a->setObjectName(name);
    a->setIcon(actionIcon(name));
    a->setShortcut(keys);
    m_actions[name] = a;
    return a;
  };
  QMenu *file = menuBar()->addMenu(tr("&File"));
  connect(add(file, "file-open", tr("&Open..."), QKeySequence::Open), &QAction::triggered, this,
          &MainWindow::openDialog);
  m_recent = file->addMenu(tr("Open &Recent"));
  connect(m_recent, &QMenu::aboutToShow, this, &MainWindow::fillRecentMenu);
  file->addSeparator();
  connect(add(file, "file-save", tr("&Save"), QKeySequence::Save), &QAction::triggered, this,
          &MainWindow::save);
  connect(add(file, "file-save-as", tr("Save &As..."), QKeySequence::SaveAs), &QAction::triggered,
          this, &MainWindow::saveAs);
  connect(add(file, "file-close", tr("&Close"), QKeySequence::Close), &QAction::triggered, this,
          [this] { closeTab(m_tabs->currentIndex()); });
  file->addSeparator();
  connect(add(file, "file-batch", tr("&Batch Generate..."), QKeySequence(Qt::CTRL | Qt::Key_B)),
          &QAction::triggered, this, &MainWindow::openBatchWindow);
  file->addSeparator();
  connect(add(file, "file-quit", tr("&Quit"), QKeySequence::Quit), &QAction::triggered, this,
          &QWidget::close);

  QMenu *view = menuBar()->addMenu(tr("&View"));
  connect(add(view, "view-zoom-in", tr("Zoom &In"), QKeySequence::ZoomIn), &QAction::triggered,
          this, [this] { currentTab()->pages().zoomIn(); });
  connect(add(view, "view-zoom-out", tr("Zoom &Out"), QKeySequence::ZoomOut), &QAction::triggered,
          this, [this] { currentTab()->pages().zoomOut(); });
  connect(add(view, "view-actual-size", tr("&Actual Size"), QKeySequence(Qt::CTRL | Qt::Key_0)),
          &QAction::triggered, this, [this] { currentTab()->pages().setZoom(1.0); });
  connect(add(view, "view-fit-width", tr("Fit &Width"), QKeySequence(Qt::CTRL | Qt::Key_2)),
          &QAction::triggered, this,
          [this] { currentTab()->pages().setZoomMode(ZoomMode::FitWidth); });
  connect(add(view, "view-fit-page", tr("Fit &Page"), QKeySequence(Qt::CTRL | Qt::Key_1)),
          &QAction::triggered, this,
          [this] { currentTab()->pages().setZoomMode(ZoomMode::FitPage); });
  view->addSeparator();
  QAction *pane = add(view, "view-bookmarks", tr("&Bookmarks Pane"), QKeySequence(Qt::Key_F4));
  pane->setCheckable(true);
  connect(pane, &QAction::triggered, this, [this](bool on) {
    if (DocumentTab *t = currentTab()) {
      t->showBookmarks(on);
      m_host.view().docViewSetPageMode(
          t->doc(), int32_t(on ? host::PageMode::Bookmarks : host::PageMode::None));
    }
  });
  QAction *select =
      add(view, "view-select-text", tr("&Select Text Tool"), QKeySequence(Qt::Key_F6));
  select->setCheckable(true);
  connect(select, &QAction::triggered, this, [this](bool on) {
    for (int i = 0; i < tabCount(); ++i)
      tab(i)->pages().setSelecting(on);
  });
  QAction *preview = add(view, "view-preview", tr("&Preview Headings"), QKeySequence(Qt::Key_F7));
  preview->setCheckable(true);
  preview->setToolTip(tr("Mark the headings the bookmark rules find on the pages shown"));
  connect(preview, &QAction::triggered, this, &MainWindow::updatePreview);
  QMenu *go = view->addMenu(tr("&Go To"));
  connect(add(go, "go-first", tr("&First Page"), QKeySequence(Qt::CTRL | Qt::Key_Home)),
          &QAction::triggered, this, [this] { currentTab()->pages().goToPage(0); });
  connect(add(go, "go-previous", tr("&Previous Page"), QKeySequence(Qt::Key_PageUp)),
          &QAction::triggered, this, [this] {
            PageView &p = currentTab()->pages();
            p.goToPage(std::max(0, p.currentPage() - 1));
          });
  connect(add(go, "go-next", tr("&Next Page"), QKeySequence(Qt::Key_PageDown)), &QAction::triggered,
          this, [this] {
            PageView &p = currentTab()->pages();
            p.goToPage(std::min(p.pageCount() - 1, p.currentPage() + 1));
          });
  connect(add(go, "go-last", tr("&Last Page"), QKeySequence(Qt::CTRL | Qt::Key_End)),
          &QAction::triggered, this,
          [this] { currentTab()->pages().goToPage(currentTab()->pages().pageCount() - 1); });
}

void MainWindow::buildHostMenus() {
  // The host's menus as the plug-in filled them: "Extensions" on the menu bar, the help and
  // about entries in the Help menu.
  const host::AcroView &v = m_host.view();
  std::function<void(QMenu *, int)> fill = [&](QMenu *menu, int index) {
    for (int item : v.menus()[size_t(index)].items) {
      const host::AcroView::MenuItem &entry = v.items()[size_t(item)];
      if (entry.submenu >= 0) {
        QMenu *sub = menu->addMenu(qs(entry.title));
        sub->setObjectName(qs(entry.name));
        fill(sub, entry.submenu);
        continue;
      }
      QAction *a = menu->addAction(qs(entry.title));
      a->setObjectName(qs(entry.name));
      const QString name = qs(entry.name);
      connect(a, &QAction::triggered, this, [this, name] { runMenuItem(name); });
      m_hostActions[name] = a;
    }
  };
  QMenu *help = nullptr;
  for (size_t i = 0; i < v.menus().size(); ++i) {
    const host::AcroView::Menu &menu = v.menus()[i];
    if (!menu.onMenubar || menu.items.empty())
      continue;
    if (menu.name == "Extensions") {
      QMenu *extensions = menuBar()->addMenu(tr("E&xtensions"));
      extensions->setObjectName("Extensions");
      connect(extensions, &QMenu::aboutToShow, this, &MainWindow::updateActions);
      fill(extensions, int(i));
    } else {
      if (!help) {
        help = menuBar()->addMenu(tr("&Help"));
        help->setObjectName("Help");
      } else {
        help->addSeparator();
      }
      fill(help, int(i));
    }
  }
  // The bookmark commands are the studio's main work: shortcuts of their own.
  const std::pair<const char *, QKeySequence> keys[] = {
      {"TAVO:BookmarkGenerate", QKeySequence(Qt::CTRL | Qt::Key_G)},
      {"TAVO:BookmarkValidate", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V)},
      {"TAVO:BookmarkSort", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O)},
      {"TAVO:Sorvane", QKeySequence::HelpContents},
  };
  for (const auto &[name, key] : keys)
    if (QAction *a = action(name))
      a->setShortcut(key);
}

void MainWindow::buildToolBar() {
  QToolBar *bar = addToolBar(tr("Main"));
  bar->setObjectName("toolbar");
  bar->setMovable(false);
  bar->addAction(action("file-open"));
  bar->addAction(action("file-save"));
  bar->addSeparator();
  m_pageBox = new QSpinBox(bar);
  m_pageBox->setObjectName("page-number");
  m_pageBox->setMinimum(1);
  m_pageBox->setKeyboardTracking(false);
  m_pageCount = new QLabel(bar);
  bar->addWidget(new QLabel(tr(" Page "), bar));
  bar->addWidget(m_pageBox);
  bar->addWidget(m_pageCount);
  connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int page) {
    if (DocumentTab *t = currentTab(); t && t->pages().currentPage() != page - 1)
      t->pages().goToPage(page - 1);
  });
  bar->addSeparator();
  bar->addAction(action("view-zoom-out"));
  m_zoomLabel = new QLabel(bar);
  m_zoomLabel->setMinimumWidth(48);
  m_zoomLabel->setAlignment(Qt::AlignCenter);
  bar->addWidget(m_zoomLabel);
  bar->addAction(action("view-zoom-in"));
  bar->addAction(action("view-fit-width"));
  bar->addAction(action("view-fit-page"));
  bar->addSeparator();
  bar->addAction(action("view-bookmarks"));
  bar->addAction(action("view-select-text"));
  bar->addAction(action("view-preview"));
}

int MainWindow::tabCount() const { return m_tabs->count(); }

DocumentTab *MainWindow::tab(int index) const {
  return qobject_cast<DocumentTab *>(m_tabs->widget(index));
}

DocumentTab *MainWindow::currentTab() const { return tab(m_tabs->currentIndex()); }

bool MainWindow::openFile(const QString &path) {
  const QString full = QFileInfo(path).absoluteFilePath();
  for (int i = 0; i < tabCount(); ++i)
    if (tab(i)->path() == full || tab(i)->savePath() == full) {
      m_tabs->setCurrentIndex(i);
      return true;
    }
  DocHandle doc;
  try {
    try {
      doc = m_host.open(full.toStdString());
    } catch (const HostError &e) {
      if (e.code() != ErrorCode::PdfPassword)
        throw;
      // Asked for until it is right or the user gives up.
      for (;;) {
        bool ok = false;
        const QString given =
            QInputDialog::getText(this, kAppName, tr("%1 needs a password:").arg(full),
                                  QLineEdit::Password, QString(), &ok);
        if (!ok)
          return false;
        try {
          doc = m_host.open(full.toStdString(), given.toStdString());
          break;
        } catch (const HostError &again) {
          if (again.code() != ErrorCode::PdfPassword)
            throw;
        }
      }
    }
    auto *t = new DocumentTab(m_host, doc, m_tabs);
    t->pages().setSelecting(action("view-select-text")->isChecked());
    connect(&t->pages(), &PageView::currentPageChanged, this, [this, t](int page) {
      if (t == currentTab()) {
        const QSignalBlocker block(m_pageBox);
        m_pageBox->setValue(page + 1);
      }
    });
    connect(&t->pages(), &PageView::zoomChanged, this, [this, t](double zoom) {
      if (t == currentTab())
        m_zoomLabel->setText(QString("%1 %").arg(qRound(zoom * 100)));
    });
    connect(&t->pages(), &PageView::selectionMade, this, &MainWindow::selectionMade);
    connect(&t->pages(), &PageView::visiblePagesChanged, m_previewTimer,
            qOverload<>(&QTimer::start));
    connect(t, &DocumentTab::modifiedChanged, this, [this, t] {
      m_tabs->setTabText(m_tabs->indexOf(t), t->title());
      updateActions();
    });
    m_tabs->addTab(t, t->title());
    m_tabs->setTabToolTip(m_tabs->indexOf(t), full);
    m_tabs->setCurrentWidget(t);
    rememberRecent(full);
    for (const std::string &warning : m_host.document(doc).warnings())
      m_status->setText(tr("Repaired while opening: %1").arg(qs(warning)));
    return true;
  } catch (const HostError &e) {
    if (doc)
      m_host.close(doc);
    QMessageBox::warning(this, kAppName, tr("%1 cannot be opened: %2").arg(full, qs(e.text())));
    return false;
  }
}

void MainWindow::openBatchWindow() {
  BatchWindow batch(m_host, this);
  // The open documents are the first guess at what to run over.
  for (int i = 0; i < tabCount(); ++i)
    batch.addFiles({tab(i)->savePath()});
  emit batchWindowOpened(&batch);
  batch.exec();
}

void MainWindow::openDialog() {
  QSettings settings;
  const QStringList paths = QFileDialog::getOpenFileNames(
      this, tr("Open PDF Files"), settings.value("lastFolder").toString(),
      tr("PDF Files (*.pdf *.PDF);;All Files (*)"));
  for (const QString &path : paths)
    openFile(path);
  if (!paths.isEmpty())
    settings.setValue("lastFolder", QFileInfo(paths.first()).absolutePath());
}

void MainWindow::rememberRecent(const QString &path) {
  QSettings settings;
  QStringList recent = settings.value("recentFiles").toStringList();
  recent.removeAll(path);
  recent.prepend(path);
  while (recent.size() > kMaxRecent)
    recent.removeLast();
  settings.setValue("recentFiles", recent);
}

void MainWindow::fillRecentMenu() {
  m_recent->clear();
  const QStringList recent = QSettings().value("recentFiles").toStringList();
  for (const QString &path : recent)
    connect(m_recent->addAction(path), &QAction::triggered, this, [this, path] { openFile(path); });
  if (recent.isEmpty())
    m_recent->addAction(tr("(none)"))->setEnabled(false);
}

void MainWindow::currentChanged() {
  DocumentTab *t = currentTab();
  m_host.view().setActiveDoc(t ? t->doc() : DocHandle());
  if (t) {
    const QSignalBlocker block(m_pageBox);
    m_pageBox->setMaximum(std::max(1, t->pages().pageCount()));
    m_pageBox->setValue(t->pages().currentPage() + 1);
    m_pageCount->setText(tr(" of %1 ").arg(t->pages().pageCount()));
    m_zoomLabel->setText(QString("%1 %").arg(qRound(t->pages().zoom() * 100)));
    setWindowTitle(QString("%1 - %2").arg(QFileInfo(t->savePath()).fileName(), kAppName));
  } else {
    m_pageCount->clear();
    m_zoomLabel->clear();
    setWindowTitle(kAppName);
  }
  updateActions();
}

void MainWindow::updateActions() {
  DocumentTab *t = currentTab();
  for (const char *name : {"file-save", "file-save-as", "file-close"})
    action(name)->setEnabled(t != nullptr && !m_busy);
  for (const char *name : {"file-open", "file-batch"})
    action(name)->setEnabled(!m_busy);
  // (looking at the pages changes nothing: it goes on beside a dialog that edits the rules)
  const bool viewing = t != nullptr && (!m_busy || m_pageUsable);
  for (const char *name :
       {"view-zoom-in", "view-zoom-out", "view-actual-size", "view-fit-width", "view-fit-page",
        "view-bookmarks", "view-preview", "go-first", "go-previous", "go-next", "go-last"})
    action(name)->setEnabled(viewing);
  m_pageBox->setEnabled(viewing);
  if (t)
    action("view-bookmarks")->setChecked(t->bookmarks().isVisible());
  for (const auto &[name, a] : m_hostActions)
    a->setEnabled(!m_busy && m_host.view().isItemEnabled(name.toStdString()));
}

bool MainWindow::runMenuItem(const QString &name) {
  DocumentTab *t = currentTab();
  const std::string item = name.toStdString();
  m_host.view().setActiveDoc(t ? t->doc() : DocHandle());
  if (m_busy || !m_host.view().findItem(item) || !m_host.view().isItemEnabled(item))
    return false;
  m_stopRequested = false;
  setBusy(true);
  if (t)
    m_host.view().docViewSetPageMode(
        t->doc(),
        int32_t(t->bookmarks().isVisible() ? host::PageMode::Bookmarks : host::PageMode::None));
  // A command the user stops halfway leaves the document as it found it.
  bool undoable = false;
  if (t) {
    try {
      m_host.document(t->doc()).beginChanges();
      undoable = true;
    } catch (const HostError &) {
      // The command still runs; a stop then keeps what it did so far, as it always could.
    }
  }
  // A command that fails with an error it does not handle itself is stopped: the document
  // goes back to what it was, the window is usable again, and the user is told.
  QString failure;
  try {
    m_host.view().executeItem(item);
  } catch (const HostError &e) {
    failure = qs(e.text());
  } catch (const std::exception &e) {
    failure = QString::fromLocal8Bit(e.what());
  } catch (...) {
    failure = tr("an unknown error");
  }
  const bool stopped = m_stopRequested || !failure.isEmpty();
  setBusy(false);
  m_stopRequested = false;
  if (undoable && m_tabs->indexOf(t) >= 0) {
    host::PdfDocument &document = m_host.document(t->doc());
    try {
      if (stopped)
        document.takeBackChanges();
      else
        document.keepChanges();
    } catch (const HostError &e) {
      QMessageBox::warning(this, kAppName, qs(e.text())); // the text names the file
    }
  }
  if (t && m_tabs->indexOf(t) >= 0) {
    if (t->refreshOutline())
      t->setModified(true);
    // The page mode the command left the window in.
    t->showBookmarks(m_host.view().pageMode(t->doc()) != host::PageMode::None);
    if (failure.isEmpty())
      offerPrintedPages(*t);
  }
  updateActions();
  if (!failure.isEmpty())
    QMessageBox::critical(
        this, kAppName,
        tr("The command stopped: %1.%2")
            .arg(failure, undoable ? tr(" The document is as it was before it.") : QString()));
  return true;
}

void MainWindow::setBusy(bool on) {
  m_busy = on;
  if (!on)
    m_reading = false;
  // While a command works, the event loop runs (for its progress and its Cancel button): the
  // rest of the window waits.
  menuBar()->setEnabled(!on);
  m_tabs->setEnabled(!on);
  m_tabs->tabBar()->setEnabled(!on);
  for (QToolBar *bar : findChildren<QToolBar *>())
    bar->setEnabled(!on);
  if (!on) {
    m_progress->hide();
    m_cancel->hide();
  }
  updateActions();
}

void MainWindow::setPageUsable(bool on) {
  m_pageUsable = on;
  const bool busy = m_busy && !on;
  m_tabs->setEnabled(!busy);
  m_tabs->tabBar()->setEnabled(!m_busy); // one document stays in view while a command runs
  for (QToolBar *bar : findChildren<QToolBar *>())
    bar->setEnabled(!busy);
  updateActions();
}

void MainWindow::updatePreview() {
  DocumentTab *t = currentTab();
  if (!t)
    return;
  if (m_reading) {
    m_previewTimer->start(); // not while a command reads the document page by page
    return;
  }
  HeadingPreviewer *previewer = m_host.view().headingPreviewer();
  const bool on =
      previewer && (action("view-preview")->isChecked() || previewer->rulesBeingEdited());
  t->pages().clearMarks();
  if (!on)
    return;
  // One colour per level, in the order of a rainbow.
  static const QColor colours[] = {QColor(214, 39, 40),   QColor(31, 119, 180),
                                   QColor(44, 160, 44),   QColor(255, 127, 14),
                                   QColor(148, 103, 189), QColor(23, 190, 207)};
  const auto [first, last] = t->pages().visiblePages();
  int found = 0;
  for (int page = std::max(first, 0); page <= last && page >= 0; ++page) {
    try {
      std::vector<PageMark> marks;
      for (const HeadingPreview &heading : previewer->headingsOnPage(t->doc(), page)) {
        PageMark mark;
        mark.box = heading.box;
        mark.colour = colours[size_t(std::max(0, heading.level)) % std::size(colours)];
        mark.label = QString::number(heading.level + 1);
        marks.push_back(mark);
      }
      found += int(marks.size());
      t->pages().setMarks(page, std::move(marks));
    } catch (const HostError &e) {
      m_status->setText(tr("Page %1 cannot be previewed: %2").arg(page + 1).arg(qs(e.text())));
      return;
    } catch (const std::exception &e) {
      m_status->setText(tr("Page %1 cannot be previewed: %2")
                            .arg(page + 1)
                            .arg(QString::fromLocal8Bit(e.what())));
      return;
    }
  }
  m_status->setText(
      found == 0
          ? tr("Preview: the rules find no heading on the pages shown.")
          : tr("Preview: %1 on the pages shown.").arg(counted(found, "heading", "headings")));
}

void MainWindow::offerPrintedPages(DocumentTab &t) {
  const std::vector<int> pages = m_host.takePrintedPages();
  if (pages.empty())
    return;
  // The studio prints into a PDF file, which the desktop's viewer can send to any printer.
  const QString target = QFileDialog::getSaveFileName(
      this, tr("Print Bookmarked Pages To"),
      QFileInfo(t.savePath()).absolutePath() + "/" + QFileInfo(t.savePath()).completeBaseName() +
          "-bookmarked.pdf",
      tr("PDF Files (*.pdf)"));
  if (target.isEmpty()) {
    m_status->setText(tr("Nothing was printed."));
    return;
  }
  try {
    host::writePagesToFile(m_host.document(t.doc()), pages, target.toStdString());
    m_status->setText(
        tr("%1 printed to %2").arg(counted(qsizetype(pages.size()), "page", "pages"), target));
  } catch (const HostError &e) {
    QMessageBox::warning(this, kAppName,
                         tr("The pages could not be printed: %1").arg(qs(e.text())));
  }
}

bool MainWindow::save() {
  DocumentTab *t = currentTab();
  if (!t)
    return false;
  try {
    t->saveTo(t->savePath());
    m_status->setText(tr("Saved %1").arg(t->savePath()));
    return true;
  } catch (const HostError &e) {
    QMessageBox::warning(this, kAppName,
                         tr("%1 could not be saved: %2").arg(t->savePath(), qs(e.text())));
    return false;
  }
}

bool MainWindow::saveAs() {
  DocumentTab *t = currentTab();
  if (!t)
    return false;
  const QString target =
      QFileDialog::getSaveFileName(this, tr("Save As"), t->savePath(), tr("PDF Files (*.pdf)"));
  if (target.isEmpty())
    return false;
  try {
    t->saveTo(target);
    m_tabs->setTabText(m_tabs->indexOf(t), t->title());
    currentChanged();
    rememberRecent(target);
    m_status->setText(tr("Saved %1").arg(target));
    return true;
  } catch (const HostError &e) {
    QMessageBox::warning(this, kAppName, tr("%1 could not be saved: %2").arg(target, qs(e.text())));
    return false;
  }
}

bool MainWindow::closeTab(int index) {
  DocumentTab *t = tab(index);
  if (!t || m_busy)
    return false;
  if (t->modified()) {
    m_tabs->setCurrentIndex(index);
    const auto answer = QMessageBox::question(
        this, kAppName, tr("Save the changes to %1 before closing?").arg(t->savePath()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Cancel || (answer == QMessageBox::Save && !save()))
      return false;
  }
  m_tabs->removeTab(index);
  const DocHandle doc = t->doc();
  delete t;
  m_host.close(doc);
  currentChanged();
  return true;
}

void MainWindow::closeEvent(QCloseEvent *event) {
  if (m_busy) {
    event->ignore();
    return;
  }
  while (tabCount() > 0)
    if (!closeTab(0)) {
      event->ignore();
      return;
    }
  event->accept();
}

// While a command works, a drop would open a document inside it: files are taken only when the
// window is idle.
void MainWindow::dragEnterEvent(QDragEnterEvent *event) {
  if (event->mimeData()->hasUrls() && !m_busy)
    event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event) {
  if (m_busy) {
    event->ignore();
    m_status->setText(tr("A command is working; drop the files again when it has finished."));
    return;
  }
  for (const QUrl &url : event->mimeData()->urls())
    if (url.isLocalFile())
      openFile(url.toLocalFile());
  event->acceptProposedAction();
}

void MainWindow::selectionMade(int page, HostRect box) {
  DocumentTab *t = currentTab();
  if (!t)
    return;
  try {
    std::vector<HostRect> boxes;
    const DocSelection selection = host::selectText(m_host.document(t->doc()), page, box, &boxes);
    m_host.view().setSelection(t->doc(), selection);
    t->pages().setHighlight(page, std::move(boxes));
    if (selection.pieces.empty()) {
      m_status->setText(tr("No text in the selected area."));
      return;
    }
    const SelectedTextPiece &first = selection.pieces.front();
    QString text;
    for (const SelectedTextPiece &piece : selection.pieces)
      text += qs(piece.text) + ' ';
    m_status->setText(tr("Selected: \"%1\" (%2, %3 pt)")
                          .arg(text.trimmed().left(60), qs(first.fontName))
                          .arg(first.size, 0, 'f', 1));
  } catch (const HostError &e) {
    m_status->setText(tr("The text cannot be selected: %1").arg(qs(e.text())));
  }
}

void MainWindow::beginOperation(void *data) {
  MainWindow *w = self(data);
  w->m_reading = true;
  w->m_progress->setRange(0, 0);
  w->m_progress->show();
  w->m_cancel->show();
  w->m_cancel->setEnabled(true);
}

void MainWindow::endOperation(void *data) {
  MainWindow *w = self(data);
  w->m_reading = false;
  w->m_progress->hide();
  w->m_cancel->hide();
  w->m_status->clear();
}

void MainWindow::setDuration(int32_t total, void *data) {
  MainWindow *w = self(data);
  w->m_progress->setRange(0, std::max(0, total));
  w->m_progress->show();
  w->m_cancel->show();
}

void MainWindow::setCurrValue(int32_t value, void *data) {
  MainWindow *w = self(data);
  if (w->m_progress->maximum() > 0)
    w->m_progress->setValue(std::min(value, w->m_progress->maximum()));
}

void MainWindow::headingPreviewChanged() { m_previewTimer->start(); }

bool MainWindow::cancelRequested(void *data) { return self(data)->m_stopRequested; }

void MainWindow::setText(TextHandle text, void *data) {
  MainWindow *w = self(data);
  try {
    w->m_status->setText(
        qs(w->m_host.provider().asExtra().textGetEncoded(text, HostEncoding::Utf8)).trimmed());
  } catch (const HostError &) {
  }
}

} // namespace sorvane::studio
