// Runs the Qt backend's tests inside the program's own entry point, on the offscreen
// platform unless the environment names another (xcb under Xvfb, say).
#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>

#include "platform/qt/qt_runtime.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
  ::testing::InitGoogleTest(&argc, argv);
  return ardvix::platform::RunWithQt(
      argc, argv, [](ardvix::platform::UiBackend&, ardvix::platform::ReadinessWatcher&) {
        return RUN_ALL_TESTS();
      });
}
