// An in-memory UDP network for flow tests. It creates FakeUdpSockets, records every datagram
// they send, and lets a test deliver datagrams, receive failures and readiness reports to a
// socket by its local port. Nothing leaves the process.
//
// Threads: sockets are used on the UI thread; the test-side calls (Deliver, DeliverError,
// SignalReadable and the records) may come from any thread. Readable callbacks run only
// from DispatchOneReadable, on the UI thread, without the network's lock held.
// Lifetime: the network outlives every socket it created.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/udp_socket.h"

namespace ardvix::headless {

class FakeUdpSocket;

struct SentDatagram {
  uint16_t local_port = 0;  // 0 when the socket was closed
  std::vector<uint8_t> bytes;
  std::string address;
  uint16_t port = 0;
  bool broadcast_on = false;  // the socket's broadcast option when it sent
  bool failed = false;        // SendTo returned -1
};

class FakeUdpNetwork : public platform::UdpSocketFactory {
 public:
  // clock, when given, is what a socket's WaitDraining sleeps on (not owned; it outlives the
  // network). Without one WaitDraining returns at once. Nothing is lost during the wait in
  // either case: delivered datagrams wait in the network until they are received.
  explicit FakeUdpNetwork(uint16_t first_port = 40000, platform::Clock* clock = nullptr);
  ~FakeUdpNetwork() override;

  std::unique_ptr<platform::UdpSocket> CreateUdpSocket() override;

  // Queues a datagram for the socket bound to local_port. To a port that is not open it is
  // dropped and counted in lost().
  void Deliver(uint16_t local_port, std::vector<uint8_t> bytes, std::string source_address,
               uint16_t source_port);
  // Queues a failure that the socket's next Receive returns.
  void DeliverError(uint16_t local_port, platform::ReceiveError error, int error_code);
  // A readiness report with nothing waiting: the callback runs once, its Receive would block.
  void SignalReadable(uint16_t local_port);

  std::vector<SentDatagram> sent() const;
  void ClearSent();
  int lost() const;
  std::vector<uint16_t> opened_ports() const;  // every Open, in order
  std::vector<uint16_t> closed_ports() const;  // every Close of an open socket, in order
  bool IsPortOpen(uint16_t port) const;
  int BroadcastCalls(uint16_t port) const;  // SetBroadcast calls while the port was open
  int BroadcastValue(uint16_t port) const;  // the last value given; 0 when never set
  size_t Waiting(uint16_t port) const;      // datagrams and failures not yet received

  // Backend side. Runs the readable callback of the first open socket (by port) that has
  // something waiting and a callback set; a pending readiness report is consumed by the
  // call. Returns false when nothing was waiting.
  bool DispatchOneReadable();
  // Called (from the delivering thread, without the lock) whenever something is queued.
  void SetWake(std::function<void()> wake);

 private:
  friend class FakeUdpSocket;

  struct Item {
    std::vector<uint8_t> bytes;
    std::string source_address;
    uint16_t source_port = 0;
    platform::ReceiveError error = platform::ReceiveError::kNone;
    int error_code = 0;
  };
  struct Endpoint {
    FakeUdpSocket* socket = nullptr;
    std::deque<Item> waiting;
    int readiness_reports = 0;
    int broadcast_on = 0;
  };
  struct BroadcastRecord {
    int calls = 0;
    int value = 0;
  };

  // Socket side, UI thread.
  uint16_t Bind(FakeUdpSocket* socket);
  void Unbind(uint16_t port);
  bool SetBroadcast(uint16_t port, int on);
  int SendTo(uint16_t port, std::vector<uint8_t> bytes, const std::string& address,
             uint16_t to_port);
  platform::ReceiveResult Receive(uint16_t port, std::span<uint8_t> buffer);
  void WaitDraining(uint32_t ms);

  void Queue(uint16_t local_port, Item item);
  void Wake();

  mutable std::mutex mutex_;
  uint16_t next_port_;
  std::map<uint16_t, Endpoint> open_;
  std::map<uint16_t, BroadcastRecord> broadcast_;
  std::vector<SentDatagram> sent_;
  std::vector<uint16_t> opened_;
  std::vector<uint16_t> closed_;
  int lost_ = 0;
  std::function<void()> wake_;
  platform::Clock* const clock_;
};

}  // namespace ardvix::headless
