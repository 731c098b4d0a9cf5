// The Qt 6 Widgets implementation of UiBackend. Needs a QApplication (see RunWithQt).
#pragma once

#include "platform/window.h"

namespace ardvix::platform::qt {

class QtUiBackend : public UiBackend {
 public:
  // parent, when given, must be a window of this backend; the new window is modal over it.
  std::unique_ptr<Window> CreateDialogWindow(const DialogTemplate& tmpl, WindowEvents& events,
                                             Window* parent) override;
  void MessageBox(const std::string& utf8) override;
};

}  // namespace ardvix::platform::qt
