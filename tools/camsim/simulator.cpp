#include "simulator.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "address_mover.h"
#include "ipv4_text.h"

namespace camsim {
namespace {

// Caps one wake-up's work so that signals and delayed answers are never starved.
constexpr int kMaxDatagramsPerWake = 4096;
constexpr int kIdleWakeMs = 500;

}  // namespace

Simulator::Simulator(std::vector<Device> devices, UdpEndpoint& endpoint, TrafficLog& log)
    : devices_(std::move(devices)),
      endpoint_(endpoint),
      log_(log),
      move_refusal_(AddressMoveRefusal()) {}

void Simulator::Run(const volatile std::sig_atomic_t* stop,
                    std::optional<Clock::time_point> deadline) {
  while (*stop == 0 && (!deadline || Clock::now() < *deadline)) {
    pollfd watched{endpoint_.fd(), POLLIN, 0};
    const int ready = poll(&watched, 1, MillisecondsUntilNextEvent(deadline));
    if (ready < 0 && errno != EINTR) {
      log_.Note(std::string("poll failed: ") + std::strerror(errno));
      break;
    }
    if (ready > 0) {
      for (int i = 0; i < kMaxDatagramsPerWake; ++i) {
        size_t truncated_length = 0;
        const auto request = endpoint_.Receive(truncated_length);
        if (!request) break;
        HandleRequest(*request,
                      truncated_length != 0 ? truncated_length : request->datagram.size());
      }
    }
    std::vector<Scheduled> due;
    const auto now = Clock::now();
    while (!later_.empty() && later_.begin()->first <= now) {
      due.push_back(std::move(later_.begin()->second));
      later_.erase(later_.begin());
    }
    Dispatch(due);
    log_.Flush();
  }
  log_.Note(*stop != 0 ? "stopping on signal" : "stopping: --max-seconds reached");
  log_.Flush();
}

int Simulator::MillisecondsUntilNextEvent(std::optional<Clock::time_point> deadline) const {
  auto next = Clock::now() + std::chrono::milliseconds(kIdleWakeMs);
  if (!later_.empty()) next = std::min(next, later_.begin()->first);
  if (deadline) next = std::min(next, *deadline);
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now()).count();
  return static_cast<int>(std::max<long long>(wait, 0));
}

void Simulator::HandleRequest(const Request& request, size_t real_length) {
  log_.Received(request.source_ip, request.source_port, request.destination_ip, request.datagram,
                real_length);
  std::vector<Scheduled> now;
  for (Reply& reply : Respond(devices_, request)) {
    Scheduled scheduled{std::move(reply), request.source_ip, request.source_port};
    if (scheduled.reply.delay_ms > 0) {
      const auto due = Clock::now() + std::chrono::milliseconds(scheduled.reply.delay_ms);
      later_.emplace(due, std::move(scheduled));
    } else {
      now.push_back(std::move(scheduled));
    }
  }
  Dispatch(now);
}

void Simulator::Dispatch(std::vector<Scheduled>& due) {
  // Send everything first and log afterwards, so a burst leaves as fast as the socket allows.
  std::vector<int> errors;
  const auto started = Clock::now();
  for (const Scheduled& item : due) {
    const Device& device = devices_[item.reply.device];
    for (int copy = 0; copy < item.reply.copies && !item.reply.datagram.empty(); ++copy) {
      errors.push_back(endpoint_.Send(device.ip, item.destination_ip, item.destination_port,
                                      item.reply.datagram));
    }
  }
  if (errors.size() > 1) {
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started);
    log_.Note("burst of " + std::to_string(errors.size()) + " answers sent in " +
              std::to_string(took.count()) + " us");
  }
  size_t next_error = 0;
  for (const Scheduled& item : due) {
    Device& device = devices_[item.reply.device];
    if (item.reply.datagram.empty()) {
      log_.Note(device.mac + " " + item.reply.note);
    }
    for (int copy = 0; copy < item.reply.copies && !item.reply.datagram.empty(); ++copy) {
      const int error = errors[next_error++];
      if (error != 0) {
        log_.Note("send from " + FormatIpv4(device.ip) + " failed: " + std::strerror(error));
      } else {
        log_.Sent(device.ip, item.destination_ip, item.destination_port, device.mac,
                  item.reply.note, item.reply.datagram);
      }
    }
    if (item.reply.change) ApplySettings(device, *item.reply.change);
  }
}

void Simulator::ApplySettings(Device& device, const SettingsChange& change) {
  bool moved = false;
  if (change.address && *change.address != device.ip) {
    const std::string from = FormatIpv4(device.ip);
    const std::string to = FormatIpv4(*change.address);
    if (!device.faults.move_address) {
      log_.Note(device.mac + " keeps " + from + " (no move-address); new settings recorded");
    } else if (move_refusal_) {
      log_.Note(device.mac + " does not move to " + to + ": " + *move_refusal_);
    } else if (!IsAssignableUnicast(*change.address)) {
      log_.Note(device.mac + " refuses " + to + ": not a unicast host address");
    } else {
      const bool shared = std::count_if(devices_.begin(), devices_.end(),
                                        [&](const Device& d) { return d.ip == device.ip; }) > 1;
      const std::string problem = MoveAddress(device.ip, *change.address, shared);
      moved = problem.empty();
      log_.Note(device.mac +
                (moved ? " moved " + from + " -> " + to : " did not move: " + problem));
    }
  }
  ApplyChange(device, change, moved);
}

}  // namespace camsim
