#include "platform/qt/qt_runtime.h"

#include <QApplication>

#include "platform/qt/dialog_font.h"
#include "platform/qt/message_boxes.h"
#include "platform/qt/qt_readiness_watcher.h"
#include "platform/qt/qt_ui_backend.h"

namespace ardvix::platform {

namespace {

constexpr const char* kDefaultFontFamily = "굴림";
constexpr int kDefaultFontPoints = 9;

}  // namespace

int RunWithQt(int argc, char** argv,
              const std::function<int(UiBackend&, ReadinessWatcher&)>& body) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(qt::kMessageBoxCaption));
  // Windows are ended by their owners. Qt must not quit every event loop on its own when
  // the last visible window goes, which would also end the modal runs that follow.
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setFont(qt::ChooseDialogFont(kDefaultFontFamily, kDefaultFontPoints));
  qt::QtUiBackend ui;
  qt::QtReadinessWatcher watcher;
  return body(ui, watcher);
}

}  // namespace ardvix::platform
