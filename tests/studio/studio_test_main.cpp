// The studio's tests run without a display, with a profile and settings of their own.
#include <QApplication>
#include <QStandardPaths>
#include <cstdlib>
#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace {

// The offscreen platform says on every dialog that it cannot size windows by their hints.
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message) {
  if (message.contains("propagateSizeHints"))
    return;
  qt_message_output(type, context, message);
}

} // namespace

int main(int argc, char **argv) {
  qInstallMessageHandler(quietHandler);
  ::testing::InitGoogleTest(&argc, argv);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  const sorvane::test::TempDir config;
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.path().string()));
  qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(config.path().string()));
  QApplication app(argc, argv);
  QApplication::setOrganizationName("Sorvane");
  QApplication::setApplicationName("Sorvane Studio Tests");
  return RUN_ALL_TESTS();
}
