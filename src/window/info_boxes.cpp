#include "window/info_boxes.h"

#include "window/templates/info_box_templates.h"

namespace ardvix::window {

int CAboutDlg::DoModal(platform::UiBackend& ui, platform::Window* parent) {
  return RunDialog(ui, AboutTemplate(), parent);
}

int CHelpDlg::DoModal(platform::UiBackend& ui, platform::Window* parent) {
  return RunDialog(ui, HelpTemplate(), parent);
}

}  // namespace ardvix::window
