#include "app/finder_app.h"

#include <utility>

#include "window/finder_dlg.h"

namespace ardvix::app {

CFinderApp::CFinderApp(const platform::Services& services,
                       std::function<bool()> socket_layer_startup)
    : services_(services), socket_layer_startup_(std::move(socket_layer_startup)) {}

int CFinderApp::InitInstance() {
  if (!socket_layer_startup_()) {
    services_.ui->MessageBox(kSocketStartupFailed);
    return 1;
  }
  window::CFinderDlg dlg(services_);
  dlg.DoModal();
  return 0;
}

}  // namespace ardvix::app
