// The application object: starts the socket layer, runs the main window modally and ends
// the program when it has closed.
#pragma once

#include <functional>
#include <memory>

#include "nettools/ping_worker.h"
#include "platform/services.h"

namespace ardvix::app {

inline constexpr const char* kSocketStartupFailed = "Windows 소켓 초기화에 실패하였습니다.";

class CFinderApp {
 public:
  using PingWorkerFactory = std::function<std::unique_ptr<nettools::PingJobRunner>()>;
  // socket_layer_startup: true when the system's sockets can be used.
  CFinderApp(const platform::Services& services, std::function<bool()> socket_layer_startup,
             PingWorkerFactory make_ping_worker);
  // Returns the process exit status: 0 after the window closed, 1 when start-up failed.
  int InitInstance();

 private:
  platform::Services services_;
  std::function<bool()> socket_layer_startup_;
  PingWorkerFactory make_ping_worker_;
};

}  // namespace ardvix::app
