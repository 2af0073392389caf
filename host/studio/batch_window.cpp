#include "host/studio/batch_window.h"
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "host/pdf/pdf_document.h"
#include "host/runtime/as_extra.h"
#include "host/runtime/batch_sequence.h"
#include "host/runtime/build_settings_file.h"
#include "host/studio/qt_text.h"
#include "host/studio/studio_host.h"
#include "sdk/host_error.h"

namespace sorvane::studio {
namespace {

BatchWindow *self(void *data) { return static_cast<BatchWindow *>(data); }

} // namespace

BatchWindow::BatchWindow(StudioHost &host, QWidget *parent) : QDialog(parent), m_host(host) {
  setObjectName("batch");
  setWindowTitle(tr("Batch Generate"));
  auto *top = new QVBoxLayout(this);

  auto *filesBox = new QGroupBox(tr("PDF files"), this);
  auto *filesLayout = new QHBoxLayout(filesBox);
  m_files = new QListWidget(filesBox);
  m_files->setObjectName("files");
  m_files->setSelectionMode(QAbstractItemView::ExtendedSelection);
  filesLayout->addWidget(m_files, 1);
  auto *fileButtons = new QVBoxLayout;
  auto *add = new QPushButton(tr("Add Files..."), filesBox);
  auto *remove = new QPushButton(tr("Remove"), filesBox);
  auto *clear = new QPushButton(tr("Clear"), filesBox);
  for (QPushButton *b : {add, remove, clear})
    fileButtons->addWidget(b);
  fileButtons->addStretch(1);
  filesLayout->addLayout(fileButtons);
  top->addWidget(filesBox, 1);
  connect(add, &QPushButton::clicked, this, [this] {
    addFiles(QFileDialog::getOpenFileNames(this, tr("Add PDF Files"), QString(),
                                           tr("PDF Files (*.pdf *.PDF)")));
  });
  connect(remove, &QPushButton::clicked, this, [this] {
    qDeleteAll(m_files->selectedItems());
    updateEnabling();
  });
  connect(clear, &QPushButton::clicked, this, [this] {
    m_files->clear();
    updateEnabling();
  });

  auto *settingsBox = new QGroupBox(tr("Settings"), this);
  auto *settingsLayout = new QVBoxLayout(settingsBox);
  auto *fileRow = new QHBoxLayout;
  m_useFile = new QRadioButton(tr("Settings file:"), settingsBox);
  m_useFile->setChecked(true);
  m_settingsPath = new QLineEdit(settingsBox);
  m_settingsPath->setObjectName("settings-file");
  auto *browse = new QPushButton(tr("Browse..."), settingsBox);
  fileRow->addWidget(m_useFile);
  fileRow->addWidget(m_settingsPath, 1);
  fileRow->addWidget(browse);
  settingsLayout->addLayout(fileRow);
  auto *editRow = new QHBoxLayout;
  m_useEdited = new QRadioButton(tr("Settings made in the Generate dialog:"), settingsBox);
  auto *edit = new QPushButton(tr("Edit..."), settingsBox);
  edit->setObjectName("edit-settings");
  m_editedState = new QLabel(tr("(none yet)"), settingsBox);
  editRow->addWidget(m_useEdited);
  editRow->addWidget(edit);
  editRow->addWidget(m_editedState, 1);
  settingsLayout->addLayout(editRow);
  top->addWidget(settingsBox);
  connect(browse, &QPushButton::clicked, this, [this] {
    const QString path = QFileDialog::getOpenFileName(
        this, tr("Settings File"), QString(), tr("Sorvane Settings (*.svb);;All Files (*)"));
    if (!path.isEmpty())
      setSettingsFile(path);
  });
  connect(edit, &QPushButton::clicked, this, &BatchWindow::editSettings);

  auto *outputBox = new QGroupBox(tr("Results"), this);
  auto *outputLayout = new QVBoxLayout(outputBox);
  auto *folderRow = new QHBoxLayout;
  m_toFolder = new QRadioButton(tr("Save into the folder:"), outputBox);
  m_folder = new QLineEdit(outputBox);
  m_folder->setObjectName("output-folder");
  auto *pick = new QPushButton(tr("Browse..."), outputBox);
  folderRow->addWidget(m_toFolder);
  folderRow->addWidget(m_folder, 1);
  folderRow->addWidget(pick);
  outputLayout->addLayout(folderRow);
  auto *suffixRow = new QHBoxLayout;
  m_withSuffix = new QRadioButton(tr("Save beside each file, its name ending in:"), outputBox);
  m_withSuffix->setChecked(true);
  m_suffix = new QLineEdit("-bookmarked", outputBox);
  m_suffix->setObjectName("output-suffix");
  suffixRow->addWidget(m_withSuffix);
  suffixRow->addWidget(m_suffix);
  suffixRow->addWidget(new QLabel(".pdf", outputBox));
  suffixRow->addStretch(1);
  outputLayout->addLayout(suffixRow);
  top->addWidget(outputBox);
  connect(pick, &QPushButton::clicked, this, [this] {
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Results Folder"));
    if (!folder.isEmpty())
      setOutputFolder(folder);
  });

  m_results = new QTreeWidget(this);
  m_results->setObjectName("results");
  m_results->setHeaderLabels({tr("File"), tr("Status"), tr("Bookmarks"), tr("Result")});
  m_results->setRootIsDecorated(false);
  m_results->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  top->addWidget(m_results, 1);

  auto *buttons = new QHBoxLayout;
  m_progress = new QProgressBar(this);
  m_progress->setObjectName("batch-progress");
  m_run = new QPushButton(tr("Run"), this);
  m_run->setDefault(true);
  m_stop = new QPushButton(tr("Stop"), this);
  m_close = new QPushButton(tr("Close"), this);
  buttons->addWidget(m_progress, 1);
  buttons->addWidget(m_run);
  buttons->addWidget(m_stop);
  buttons->addWidget(m_close);
  top->addLayout(buttons);
  connect(m_run, &QPushButton::clicked, this, &BatchWindow::run);
  connect(m_stop, &QPushButton::clicked, this, [this] { m_stopRequested = true; });
  connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
  for (QRadioButton *r : {m_useFile, m_useEdited, m_toFolder, m_withSuffix})
    connect(r, &QRadioButton::toggled, this, &BatchWindow::updateEnabling);
  for (QLineEdit *e : {m_settingsPath, m_folder, m_suffix})
    connect(e, &QLineEdit::textChanged, this, &BatchWindow::updateEnabling);

  m_monitor.setDuration = &BatchWindow::setDuration;
  m_monitor.setCurrValue = &BatchWindow::setCurrValue;
  m_monitor.cancelRequested = &BatchWindow::cancelRequested;
  updateEnabling();
  resize(760, 620);
}

BatchWindow::~BatchWindow() = default;

void BatchWindow::addFiles(const QStringList &paths) {
  for (const QString &path : paths) {
    const QString full = QFileInfo(path).absoluteFilePath();
    if (m_files->findItems(full, Qt::MatchExactly).isEmpty())
      m_files->addItem(full);
  }
  updateEnabling();
}

void BatchWindow::setSettingsFile(const QString &path) {
  m_settingsPath->setText(path);
  m_useFile->setChecked(true);
}

void BatchWindow::setOutputFolder(const QString &folder) {
  m_folder->setText(folder);
  m_toFolder->setChecked(true);
}

void BatchWindow::setOutputSuffix(const QString &suffix) {
  m_suffix->setText(suffix);
  m_withSuffix->setChecked(true);
}

void BatchWindow::updateEnabling() {
  m_settingsPath->setEnabled(m_useFile->isChecked() && !m_running);
  m_folder->setEnabled(m_toFolder->isChecked() && !m_running);
  m_suffix->setEnabled(m_withSuffix->isChecked() && !m_running);
  const bool settings =
      m_useFile->isChecked() ? !m_settingsPath->text().trimmed().isEmpty() : bool(m_edited);
  const bool output = m_toFolder->isChecked() ? !m_folder->text().trimmed().isEmpty()
                                              : !m_suffix->text().trimmed().isEmpty();
  m_run->setEnabled(!m_running && m_files->count() > 0 && settings && output);
  m_stop->setEnabled(m_running);
  m_close->setEnabled(!m_running);
  for (QGroupBox *box : findChildren<QGroupBox *>())
    box->setEnabled(!m_running);
}

void BatchWindow::editSettings() {
  ASExtraTable &x = m_host.provider().asExtra();
  try {
    // The Generate dialog starts from the settings edited last, else from the settings file.
    OwnedCabinet start;
    if (m_edited)
      start = OwnedCabinet(x, x.cabinetDup(m_edited.get()));
    else if (!m_settingsPath->text().trimmed().isEmpty())
      start = host::readBuildSettings(x, m_settingsPath->text().trimmed().toStdString());
    else
      start = OwnedCabinet(x, x.cabinetNew());
    jobs::Generator generator(m_host, start.get());
    host::BatchSequence &sequence = generator.sequence();
    if (sequence.editParams() == CommandStatus::Ready) {
      m_edited = sequence.params();
      const int levels = x.cabinetGetInt(m_edited.get(), "NumLevels", 0);
      m_editedState->setText(counted(levels, "level", "levels"));
      m_useEdited->setChecked(true);
    }
  } catch (const HostError &e) {
    QMessageBox::warning(this, windowTitle(), qs(e.text()));
  }
  updateEnabling();
}

OwnedCabinet BatchWindow::settingsForRun() {
  ASExtraTable &x = m_host.provider().asExtra();
  if (m_useEdited->isChecked())
    return OwnedCabinet(x, x.cabinetDup(m_edited.get()));
  try {
    return host::readBuildSettings(x, m_settingsPath->text().trimmed().toStdString());
  } catch (const HostError &e) {
    QMessageBox::warning(this, windowTitle(), qs(e.text()));
    return OwnedCabinet();
  }
}

QString BatchWindow::outputFor(const QString &input) const {
  const QFileInfo in(input);
  if (m_toFolder->isChecked())
    return QDir(m_folder->text().trimmed()).absoluteFilePath(in.fileName());
  return in.dir().absoluteFilePath(in.completeBaseName() + m_suffix->text().trimmed() + ".pdf");
}

void BatchWindow::reject() {
  if (m_running) {
    m_stopRequested = true;
    return;
  }
  QDialog::reject();
}

void BatchWindow::closeEvent(QCloseEvent *event) {
  if (m_running) {
    m_stopRequested = true;
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

bool BatchWindow::run() {
  if (m_running || m_files->count() == 0)
    return false;
  if (m_toFolder->isChecked() && !QFileInfo(m_folder->text().trimmed()).isDir()) {
    QMessageBox::warning(this, windowTitle(),
                         tr("The results folder %1 does not exist.").arg(m_folder->text()));
    return false;
  }
  const OwnedCabinet settings = settingsForRun();
  if (!settings)
    return false;
  m_results->clear();
  m_exitCodes.clear();
  m_running = true;
  updateEnabling();
  m_stopRequested = false;
  int done = 0, problems = 0, failed = 0, stopped = 0;
  std::unique_ptr<jobs::Generator> generator;
  try {
    generator = std::make_unique<jobs::Generator>(m_host, settings.get());
  } catch (const HostError &e) {
    QMessageBox::warning(this, windowTitle(), qs(e.text()));
  }
  for (int i = 0; generator && i < m_files->count(); ++i) {
    const QString input = m_files->item(i)->text();
    auto *row = new QTreeWidgetItem(m_results, {QFileInfo(input).fileName(), tr("Working...")});
    row->setToolTip(0, input);
    m_results->scrollToItem(row);
    QApplication::processEvents();
    QString what;
    BatchStatus status = BatchStatus::Stopped;
    if (!m_stopRequested)
      status = runOne(input, *generator, what);
    else
      m_exitCodes.push_back(jobs::ExitCode::Interrupted);
    const char *texts[] = {"Done", "Done with problems", "Failed", "Skipped", "Stopped"};
    row->setText(1, tr(texts[int(status)]));
    row->setText(3, what);
    row->setToolTip(3, what);
    switch (status) {
    case BatchStatus::Done: ++done; break;
    case BatchStatus::Problems: ++problems; break;
    case BatchStatus::Failed:
    case BatchStatus::Skipped: ++failed; break;
    case BatchStatus::Stopped: ++stopped; break;
    }
    const QColor colour = status == BatchStatus::Done      ? QColor(0, 110, 0)
                          : status == BatchStatus::Stopped ? QColor(120, 120, 120)
                                                           : QColor(170, 0, 0);
    row->setForeground(1, colour);
    QApplication::processEvents();
  }
  generator.reset();
  m_stopRequested = false;
  m_running = false;
  m_progress->reset();
  updateEnabling();
  if (!m_results->topLevelItemCount())
    return false;
  QString counts =
      tr("%1 done, %2 done with problems, %3 failed").arg(done).arg(problems).arg(failed);
  if (stopped)
    counts += tr(", %1 not done (stopped)").arg(stopped);
  auto *summary =
      new QTreeWidgetItem(m_results, {counted(m_files->count(), "file", "files"), counts});
  QFont bold = summary->font(0);
  bold.setBold(true);
  summary->setFont(0, bold);
  summary->setFont(1, bold);
  return true;
}

BatchStatus BatchWindow::runOne(const QString &input, jobs::Generator &generator, QString &what) {
  const QString output = outputFor(input);
  if (QFileInfo(output).absoluteFilePath() == QFileInfo(input).absoluteFilePath()) {
    what = tr("the result would replace the file itself; choose another folder or suffix");
    m_exitCodes.push_back(jobs::ExitCode::Usage);
    return BatchStatus::Skipped;
  }
  jobs::GenerateJob job(
      generator, {input.toStdString(), output.toStdString(), {}, false, &m_monitor, this, {}});
  const jobs::GenerateResult r = job.run();
  m_exitCodes.push_back(jobs::exitCode(r));
  switch (r.verdict) {
  case jobs::Verdict::Stopped:
    what = tr("stopped; nothing was written");
    return BatchStatus::Stopped;
  case jobs::Verdict::Failed: what = qs(r.failure); return BatchStatus::Failed;
  case jobs::Verdict::Done:
  case jobs::Verdict::Problems: break;
  }
  if (r.saved) {
    m_results->topLevelItem(m_results->topLevelItemCount() - 1)
        ->setText(2, QString::number(r.outcome.bookmarksInserted));
    what = output;
  }
  for (const std::string &problem : r.problems)
    what += (what.isEmpty() ? "" : "; ") + qs(problem);
  return r.verdict == jobs::Verdict::Done ? BatchStatus::Done : BatchStatus::Problems;
}

bool BatchWindow::cancelRequested(void *data) { return self(data)->m_stopRequested; }

void BatchWindow::setDuration(int32_t total, void *data) {
  self(data)->m_progress->setRange(0, std::max(1, total));
}

void BatchWindow::setCurrValue(int32_t value, void *data) {
  BatchWindow *w = self(data);
  w->m_progress->setValue(std::min(value, w->m_progress->maximum()));
}

} // namespace sorvane::studio
