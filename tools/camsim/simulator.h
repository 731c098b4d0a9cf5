// The event loop of camsim: receives requests, lets the devices respond, sends answers
// (at once or after a device's delay), applies new settings, and logs all of it.
#pragma once

#include <chrono>
#include <csignal>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "device.h"
#include "responder.h"
#include "traffic_log.h"
#include "udp_endpoint.h"

namespace camsim {

class Simulator {
 public:
  using Clock = std::chrono::steady_clock;

  Simulator(std::vector<Device> devices, UdpEndpoint& endpoint, TrafficLog& log);

  // Runs until *stop becomes nonzero or the deadline passes.
  void Run(const volatile std::sig_atomic_t* stop, std::optional<Clock::time_point> deadline);

 private:
  struct Scheduled {
    Reply reply;
    uint32_t destination_ip;
    uint16_t destination_port;
  };

  void HandleRequest(const Request& request, size_t real_length);
  void Dispatch(std::vector<Scheduled>& due);
  void ApplySettings(Device& device, const SettingsChange& change);
  int MillisecondsUntilNextEvent(std::optional<Clock::time_point> deadline) const;

  std::vector<Device> devices_;
  UdpEndpoint& endpoint_;
  TrafficLog& log_;
  std::optional<std::string> move_refusal_;
  std::multimap<Clock::time_point, Scheduled> later_;
};

}  // namespace camsim
