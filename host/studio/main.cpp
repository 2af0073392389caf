// sorvane-studio [FILE...]: the desktop host.
#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>

#include "host/studio/main_window.h"
#include "host/studio/studio_host.h"
#include "sdk/host_error.h"

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName("Sorvane");
  QApplication::setApplicationName(sorvane::studio::kAppName);
  // The desktop entry installed with the studio (its icon and name in the task switcher).
  QGuiApplication::setDesktopFileName("org.sorvane.Studio");
  QApplication::setApplicationVersion(SORVANE_VERSION);
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Sorvane Studio: builds, checks and maintains the bookmarks of PDF files.");
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument("FILE", "PDF files to open.", "[FILE...]");
  parser.process(app);

  sorvane::studio::StudioHost host;
  try {
    host.loadPlugIn();
  } catch (const sorvane::HostError &e) {
    QMessageBox::critical(
        nullptr, sorvane::studio::kAppName,
        QString("The Sorvane plug-in cannot be loaded: %1").arg(QString::fromStdString(e.text())));
    return 5;
  }
  sorvane::studio::MainWindow window(host);
  window.show();
  for (const QString &file : parser.positionalArguments())
    window.openFile(file);
  return QApplication::exec();
}
