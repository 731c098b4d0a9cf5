// The About box (template 100) and the Help box (template 135): fixed texts and an OK
// button; neither reads or changes anything of the program. A new object for every opening.
#pragma once

#include "platform/window.h"
#include "window/dialog_base.h"

namespace ardvix::window {

class CAboutDlg : public DialogBase {
 public:
  // Runs the box modally over parent; OK, Escape and the close box end it.
  int DoModal(platform::UiBackend& ui, platform::Window* parent);
};

class CHelpDlg : public DialogBase {
 public:
  int DoModal(platform::UiBackend& ui, platform::Window* parent);
};

}  // namespace ardvix::window
