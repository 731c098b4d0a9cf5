#include "app/finder_app.h"

#include <utility>

#include "window/finder_dlg.h"

namespace ardvix::app {

CFinderApp::CFinderApp(const platform::Services& services,
                       std::function<bool()> socket_layer_startup,
                       PingWorkerFactory make_ping_worker)
    : services_(services),
      socket_layer_startup_(std::move(socket_layer_startup)),
      make_ping_worker_(std::move(make_ping_worker)) {}

int CFinderApp::InitInstance() {
  if (!socket_layer_startup_()) {
    services_.ui->MessageBox(kSocketStartupFailed);
    return 1;
  }
  window::CFinderDlg dlg(services_, make_ping_worker_());
  dlg.DoModal();
  return 0;
}

}  // namespace ardvix::app
