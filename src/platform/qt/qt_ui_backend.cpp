#include "platform/qt/qt_ui_backend.h"

#include "platform/qt/message_boxes.h"
#include "platform/qt/qt_window.h"

namespace ardvix::platform::qt {

std::unique_ptr<Window> QtUiBackend::CreateDialogWindow(const DialogTemplate& tmpl,
                                                        WindowEvents& events, Window* parent) {
  auto* qt_parent = dynamic_cast<QtWindow*>(parent);
  return std::make_unique<QtWindow>(tmpl, events, qt_parent ? qt_parent->widget() : nullptr);
}

void QtUiBackend::MessageBox(const std::string& utf8) { ShowWarningBox(nullptr, utf8); }

}  // namespace ardvix::platform::qt
