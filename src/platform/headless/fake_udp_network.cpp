#include "platform/headless/fake_udp_network.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#include "platform/headless/fake_udp_socket.h"

namespace ardvix::headless {

namespace {
constexpr char kLimitedBroadcast[] = "255.255.255.255";
}

FakeUdpNetwork::FakeUdpNetwork(uint16_t first_port, platform::Clock* clock)
    : next_port_(first_port), clock_(clock) {}

FakeUdpNetwork::~FakeUdpNetwork() = default;

std::unique_ptr<platform::UdpSocket> FakeUdpNetwork::CreateUdpSocket() {
  return std::make_unique<FakeUdpSocket>(*this);
}

void FakeUdpNetwork::Deliver(uint16_t local_port, std::vector<uint8_t> bytes,
                             std::string source_address, uint16_t source_port) {
  Item item;
  item.bytes = std::move(bytes);
  item.source_address = std::move(source_address);
  item.source_port = source_port;
  Queue(local_port, std::move(item));
}

void FakeUdpNetwork::DeliverError(uint16_t local_port, platform::ReceiveError error,
                                  int error_code) {
  Item item;
  item.error = error;
  item.error_code = error_code;
  Queue(local_port, std::move(item));
}

void FakeUdpNetwork::SignalReadable(uint16_t local_port) {
  {
    std::lock_guard lock(mutex_);
    auto it = open_.find(local_port);
    if (it == open_.end()) return;
    ++it->second.readiness_reports;
  }
  Wake();
}

void FakeUdpNetwork::Queue(uint16_t local_port, Item item) {
  {
    std::lock_guard lock(mutex_);
    auto it = open_.find(local_port);
    if (it == open_.end()) {
      ++lost_;
      return;
    }
    it->second.waiting.push_back(std::move(item));
  }
  Wake();
}

void FakeUdpNetwork::Wake() {
  std::function<void()> wake;
  {
    std::lock_guard lock(mutex_);
    wake = wake_;
  }
  if (wake) wake();
}

void FakeUdpNetwork::SetWake(std::function<void()> wake) {
  std::lock_guard lock(mutex_);
  wake_ = std::move(wake);
}

std::vector<SentDatagram> FakeUdpNetwork::sent() const {
  std::lock_guard lock(mutex_);
  return sent_;
}

void FakeUdpNetwork::ClearSent() {
  std::lock_guard lock(mutex_);
  sent_.clear();
}

int FakeUdpNetwork::lost() const {
  std::lock_guard lock(mutex_);
  return lost_;
}

std::vector<uint16_t> FakeUdpNetwork::opened_ports() const {
  std::lock_guard lock(mutex_);
  return opened_;
}

std::vector<uint16_t> FakeUdpNetwork::closed_ports() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

bool FakeUdpNetwork::IsPortOpen(uint16_t port) const {
  std::lock_guard lock(mutex_);
  return open_.count(port) != 0;
}

int FakeUdpNetwork::BroadcastCalls(uint16_t port) const {
  std::lock_guard lock(mutex_);
  auto it = broadcast_.find(port);
  return it == broadcast_.end() ? 0 : it->second.calls;
}

int FakeUdpNetwork::BroadcastValue(uint16_t port) const {
  std::lock_guard lock(mutex_);
  auto it = broadcast_.find(port);
  return it == broadcast_.end() ? 0 : it->second.value;
}

size_t FakeUdpNetwork::Waiting(uint16_t port) const {
  std::lock_guard lock(mutex_);
  auto it = open_.find(port);
  return it == open_.end() ? 0 : it->second.waiting.size();
}

bool FakeUdpNetwork::DispatchOneReadable() {
  std::function<void()> callback;
  {
    std::lock_guard lock(mutex_);
    for (auto& [port, endpoint] : open_) {
      if (endpoint.waiting.empty() && endpoint.readiness_reports == 0) continue;
      if (!endpoint.socket->readable_callback()) continue;  // nobody listens: it just waits
      if (endpoint.readiness_reports > 0) --endpoint.readiness_reports;
      // A copy: the callback may close or destroy its own socket.
      callback = endpoint.socket->readable_callback();
      break;
    }
  }
  if (!callback) return false;
  callback();
  return true;
}

uint16_t FakeUdpNetwork::Bind(FakeUdpSocket* socket) {
  std::lock_guard lock(mutex_);
  while (next_port_ == 0 || open_.count(next_port_) != 0) ++next_port_;
  const uint16_t port = next_port_++;
  open_[port].socket = socket;
  opened_.push_back(port);
  return port;
}

void FakeUdpNetwork::Unbind(uint16_t port) {
  std::lock_guard lock(mutex_);
  // Datagrams still waiting for a closed socket are gone, as with a real one.
  open_.erase(port);
  closed_.push_back(port);
}

bool FakeUdpNetwork::SetBroadcast(uint16_t port, int on) {
  std::lock_guard lock(mutex_);
  auto it = open_.find(port);
  if (it == open_.end()) return false;
  it->second.broadcast_on = on;
  auto& record = broadcast_[port];
  ++record.calls;
  record.value = on;
  return true;
}

int FakeUdpNetwork::SendTo(uint16_t port, std::vector<uint8_t> bytes, const std::string& address,
                           uint16_t to_port) {
  std::lock_guard lock(mutex_);
  SentDatagram datagram;
  datagram.local_port = port;
  datagram.address = address;
  datagram.port = to_port;
  auto it = open_.find(port);
  if (it == open_.end()) {
    datagram.local_port = 0;
    datagram.failed = true;
  } else {
    datagram.broadcast_on = it->second.broadcast_on != 0;
    // Linux refuses a broadcast from a socket without the broadcast option (EACCES).
    datagram.failed = address == kLimitedBroadcast && !datagram.broadcast_on;
  }
  const int result = datagram.failed ? -1 : static_cast<int>(bytes.size());
  datagram.bytes = std::move(bytes);
  sent_.push_back(std::move(datagram));
  return result;
}

platform::ReceiveResult FakeUdpNetwork::Receive(uint16_t port, std::span<uint8_t> buffer) {
  platform::ReceiveResult result;
  std::lock_guard lock(mutex_);
  auto it = open_.find(port);
  if (it == open_.end() || it->second.waiting.empty()) {
    result.error = platform::ReceiveError::kWouldBlock;
    result.error_code = EAGAIN;
    return result;
  }
  Item item = std::move(it->second.waiting.front());
  it->second.waiting.pop_front();
  if (item.error != platform::ReceiveError::kNone) {
    result.error = item.error;
    result.error_code = item.error_code;
    return result;
  }
  const size_t stored = std::min(item.bytes.size(), buffer.size());
  std::copy_n(item.bytes.begin(), stored, buffer.begin());
  result.bytes = static_cast<int>(stored);
  result.error = item.bytes.size() > buffer.size() ? platform::ReceiveError::kTruncated
                                                   : platform::ReceiveError::kNone;
  result.source_address = std::move(item.source_address);
  result.source_port = item.source_port;
  return result;
}

void FakeUdpNetwork::WaitDraining(uint32_t ms) {
  // The sleep may deliver (a virtual clock's on_sleep hook): the lock is not held.
  if (clock_) clock_->SleepMs(ms);
}

}  // namespace ardvix::headless
