// The batch window: the plug-in's batch command over many files. Files, a settings file (or the
// settings edited in the Generate dialog), where the results go (a folder, or a suffix beside
// each file), then a run that shows each file's status as it finishes and can be stopped.
#pragma once

#include <QDialog>

#include <vector>

#include "host/jobs/generate_job.h"
#include "sdk/as_extra_table.h"
#include "sdk/owned_cabinet.h"
#include "sdk/progress_monitor.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace sorvane::studio {

class StudioHost;

// What happened to one file of a batch.
enum class BatchStatus { Done, Problems, Failed, Skipped, Stopped };

class BatchWindow final : public QDialog {
  Q_OBJECT
public:
  BatchWindow(StudioHost &host, QWidget *parent = nullptr);
  ~BatchWindow() override;

  void addFiles(const QStringList &paths);
  void setSettingsFile(const QString &path);
  void setOutputFolder(const QString &folder);
  void setOutputSuffix(const QString &suffix);
  // Runs the batch over the files listed; false when it could not begin (told to the user).
  bool run();
  // Where the result of `input` goes with the output chosen now.
  QString outputFor(const QString &input) const;
  QTreeWidget &results() { return *m_results; }
  // The exit code of each file of the last run, as the command line ends its run of the file.
  const std::vector<jobs::ExitCode> &exitCodes() const { return m_exitCodes; }

protected:
  // While a batch runs, Escape and the window's close button stop it; the window stays until
  // the run has ended.
  void reject() override;
  void closeEvent(QCloseEvent *event) override;

private:
  void editSettings();
  void updateEnabling();
  // The settings to run with: the edited ones, else the settings file's; null (told) when none.
  OwnedCabinet settingsForRun();
  BatchStatus runOne(const QString &input, jobs::Generator &generator, QString &what);

  static void setCurrValue(int32_t value, void *self);
  static void setDuration(int32_t total, void *self);
  static bool cancelRequested(void *self);

  StudioHost &m_host;
  QListWidget *m_files = nullptr;
  QRadioButton *m_useFile = nullptr, *m_useEdited = nullptr;
  QLineEdit *m_settingsPath = nullptr;
  QLabel *m_editedState = nullptr;
  QRadioButton *m_toFolder = nullptr, *m_withSuffix = nullptr;
  QLineEdit *m_folder = nullptr, *m_suffix = nullptr;
  QTreeWidget *m_results = nullptr;
  QProgressBar *m_progress = nullptr;
  QPushButton *m_run = nullptr, *m_stop = nullptr, *m_close = nullptr;
  OwnedCabinet m_edited; // the settings edited in the Generate dialog
  ProgressMonitor m_monitor;
  bool m_running = false;
  bool m_stopRequested = false; // the user asked the batch to stop
  std::vector<jobs::ExitCode> m_exitCodes;
};

} // namespace sorvane::studio
