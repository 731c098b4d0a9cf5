// The program's entry: the Qt backend for windows and the Linux services for the rest.
#include "app/finder_app.h"
#include "nettools/neighbour_table_netlink.h"
#include "nettools/ping_worker.h"
#include "platform/posix/icmp_socket_posix.h"
#include "platform/posix/poll_readiness_watcher.h"
#include "platform/posix/posix_command_interpreter.h"
#include "platform/posix/posix_host_info.h"
#include "platform/posix/posix_udp_socket.h"
#include "platform/posix/socket_layer.h"
#include "platform/posix/system_clock.h"
#include "platform/qt/qt_runtime.h"

int main(int argc, char** argv) {
  using namespace ardvix;
  return platform::RunWithQt(
      argc, argv, [](platform::UiBackend& ui, platform::ReadinessWatcher& watcher) {
        platform::PosixUdpSocketFactory udp(watcher);
        platform::SystemClock clock;
        platform::PosixCommandInterpreter shell;
        platform::PosixHostInfo host;
        platform::Services services{&ui, &udp, &clock, &shell, &host};
        platform::PosixIcmpSocketFactory icmp;
        nettools::NetlinkNeighbourTable neighbours;
        const auto make_ping_worker = [&]() -> std::unique_ptr<nettools::PingJobRunner> {
          nettools::PingEnvironment environment;
          environment.sockets = &icmp;
          environment.host = &host;
          environment.clock = &clock;
          environment.neighbours = &neighbours;
          return std::make_unique<nettools::CPingWorker>(environment);
        };
        app::CFinderApp app(services, platform::SocketLayerStartup, make_ping_worker);
        return app.InitInstance();
      });
}
