// The studio's window: documents in tabs, the File and View menus, the host's menu bar with the
// plug-in's commands, a tool bar with the page box and zoom, and a status bar that shows the
// progress of long work with a button to stop it.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <map>
#include <memory>

#include "sdk/document_tables.h"
#include "sdk/progress_monitor.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTimer;

namespace sorvane::studio {

class BatchWindow;
class DocumentTab;
class StudioHost;

class MainWindow final : public QMainWindow {
  Q_OBJECT
public:
  explicit MainWindow(StudioHost &host, QWidget *parent = nullptr);
  ~MainWindow() override;

  // Opens `path` in a new tab (or shows its tab when it is open already); false, after telling
  // the user why, when it cannot be opened.
  bool openFile(const QString &path);
  DocumentTab *currentTab() const;
  DocumentTab *tab(int index) const;
  int tabCount() const;
  // Runs the host menu item `name` (a plug-in command) on the current document, as its menu
  // entry does; false when there is no such item or it is disabled now.
  bool runMenuItem(const QString &name);
  // Saves the current document to its file, or asks where; false when it was not saved.
  bool save();
  bool saveAs();
  // Closes tab `index`, asking about unsaved changes; false when the user kept it open.
  bool closeTab(int index);
  // The action of a menu entry by object name ("file-open", "TAVO:BookmarkGenerate"...).
  QAction *action(const QString &name) const;
  // Whether a plug-in command is at work (its progress shows, its Cancel button works).
  bool busy() const { return m_busy; }
  QPushButton *cancelButton() const { return m_cancel; }
  QProgressBar *progressBar() const { return m_progress; }
  // The plug-in set its heading preview or changed its rules: the preview is drawn again soon.
  void headingPreviewChanged();

signals:
  // The batch window opened (and runs modally until it closes).
  void batchWindowOpened(BatchWindow *window);

protected:
  void closeEvent(QCloseEvent *event) override;
  void dragEnterEvent(QDragEnterEvent *event) override;
  void dropEvent(QDropEvent *event) override;

private:
  void buildMenus();
  void buildHostMenus();
  void buildToolBar();
  void updateActions();
  void currentChanged();
  void openDialog();
  void openBatchWindow();
  void rememberRecent(const QString &path);
  void fillRecentMenu();
  void selectionMade(int page, HostRect box);
  void offerPrintedPages(DocumentTab &tab);
  void setBusy(bool on);
  void setPageUsable(bool on);
  // Marks on the shown pages the headings the plug-in's rules find there, when the preview is
  // on or the rules are being edited; otherwise takes the marks away.
  void updatePreview();

  // The progress monitor the plug-in reports to.
  static void beginOperation(void *self);
  static void endOperation(void *self);
  static void setDuration(int32_t total, void *self);
  static void setCurrValue(int32_t value, void *self);
  static void setText(TextHandle text, void *self);
  static bool cancelRequested(void *self);

  StudioHost &m_host;
  QTabWidget *m_tabs = nullptr;
  QMenu *m_recent = nullptr;
  std::map<QString, QAction *> m_actions;
  std::map<QString, QAction *> m_hostActions; // by menu item name
  QSpinBox *m_pageBox = nullptr;
  QLabel *m_pageCount = nullptr;
  QLabel *m_zoomLabel = nullptr;
  QLabel *m_status = nullptr;
  QProgressBar *m_progress = nullptr;
  QPushButton *m_cancel = nullptr;
  ProgressMonitor m_monitor;
  bool m_busy = false;
  bool m_stopRequested = false; // the user asked the command running to stop
  // A dialog that edits the preview's rules stands beside the window: while it is open the
  // page view, the bookmarks pane and the view's actions work, and nothing else does.
  bool m_pageUsable = false;
  bool m_reading = false; // between the start and end of a command's progress
  QTimer *m_previewTimer = nullptr;
};

} // namespace sorvane::studio
