// Base of the system's dialogs: routes OK and Cancel the way a platform dialog does and
// gives the derived dialog its window once it exists.
#pragma once

#include <memory>

#include "platform/window.h"

namespace ardvix::window {

class DialogBase : public platform::WindowEvents {
 public:
  void OnCommand(int control_id) override {
    if (control_id == platform::kIdOk) {
      OnOK();
    } else if (control_id == platform::kIdCancel) {
      OnCancel();
    } else {
      OnControlCommand(control_id);
    }
  }

 protected:
  // Creates the window from its template and runs it modally; returns the modal result.
  int RunDialog(platform::UiBackend& ui, const platform::DialogTemplate& tmpl,
                platform::Window* parent) {
    window_ = ui.CreateDialogWindow(tmpl, *this, parent);
    OnWindowCreated();
    const int result = window_->RunModal();
    window_.reset();
    return result;
  }
  virtual void OnWindowCreated() {}
  virtual void OnOK() { window_->EndDialog(platform::kIdOk); }
  virtual void OnCancel() { window_->EndDialog(platform::kIdCancel); }
  virtual void OnControlCommand(int /*control_id*/) {}

  platform::Window& wnd() { return *window_; }

 private:
  std::unique_ptr<platform::Window> window_;
};

}  // namespace ardvix::window
