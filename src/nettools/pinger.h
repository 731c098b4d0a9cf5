// CPinger: the ICMP echo engine that probes whether an address is in use. One job sends
// `count` echo requests, each followed by a pause and a wait for its answer, and reports
// every outcome to the owner window: the outcome synchronously (Send), then its line
// queued (Post), and exactly one WM_PING_DONE at the end (see ping_messages.h).
//
// Only a real answer counts: an echo reply from the probed address to one of this job's
// requests. ICMP errors, other programs' replies and anything malformed are skipped and
// the wait goes on. Datagrams are read during the pause too, so "time=" is the true round
// trip (kernel arrival time minus send time). When every request timed out, the neighbour table is
// asked whether the host answered ARP during the probe (a host that drops echo requests is still
// there).
//
// Threads: a CPinger runs on one thread (the ping worker's). Its counters and buffers are
// its own, so two engines never share state. `stop` may be signalled from any thread; the
// job then ends at once (pause and wait are cut short) and still posts its WM_PING_DONE.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "nettools/neighbour_table.h"
#include "platform/clock.h"
#include "platform/host_info.h"
#include "platform/icmp_socket.h"
#include "platform/window.h"

namespace ardvix::nettools {

// What the engine runs on. Pointers are not owned and outlive the engine.
struct PingEnvironment {
  platform::IcmpSocketFactory* sockets = nullptr;
  platform::HostInfo* host = nullptr;
  platform::Clock* clock = nullptr;      // the send time in the requests, the wait's limit
  NeighbourTable* neighbours = nullptr;  // null: no neighbour check
  uint32_t pause_ms = 5000;              // after each request, before the wait
  uint32_t wait_ms = 1000;               // longest wait for a cycle's answer
};

// One datagram read during a wait, with what the engine made of it.
struct ReceivedEcho {
  platform::IcmpReceiveResult datagram;
  bool is_answer = false;  // an echo reply to one of this job's requests
  int ttl = 0;
  long round_trip_ms = 0;
};

class CPinger {
 public:
  CPinger(PingEnvironment environment, platform::StopEvent& stop);

  void Ping(uint32_t count, const std::string& target,
            std::shared_ptr<platform::NotificationTarget> owner);

  // Builds and sends the next request of the run; a failure is reported as "sendto()".
  platform::IcmpSendResult SendEchoRequest(platform::IcmpSocket& socket, uint32_t destination);
  // Waits up to timeout_ms for a datagram (or the stop event).
  platform::IcmpWaitResult WaitForReply(platform::IcmpSocket& socket, uint32_t timeout_ms);
  // Reads one datagram and decides whether it answers this job's requests to destination.
  // A failed read is reported as "recvfrom()".
  ReceivedEcho ReceiveEchoReply(platform::IcmpSocket& socket, uint32_t destination);
  // Posts "<operation> - WSAError: <code>" as an error line.
  void ReportSocketError(const char* operation, long code);

 private:
  struct SentRequest {
    uint16_t identifier = 0;
    uint16_t sequence = 0;
    uint32_t send_time = 0;
    int64_t sent_at_us = 0;
    bool answered = false;
  };
  enum class CycleEnd { kAnswered, kTimedOut, kStopped, kWaitFailed, kReceiveFailed };

  // Reads what arrives during the pause; nullopt when the pause ran out without an end.
  std::optional<CycleEnd> PauseReading(platform::IcmpSocket& socket, uint32_t destination,
                                       ReceivedEcho& answer);
  // Reads datagrams until an answer, limit_ms, the stop event or a failure.
  CycleEnd AwaitAnswer(platform::IcmpSocket& socket, uint32_t destination, ReceivedEcho& answer,
                       uint32_t limit_ms);
  bool NeighbourAnsweredDuringProbe(uint32_t destination, uint32_t probe_start_ms);
  void SendOutcome(uint32_t code);
  void PostLine(uintptr_t kind, std::string line);
  void PostDone(intptr_t result);

  PingEnvironment env_;
  platform::StopEvent& stop_;
  std::shared_ptr<platform::NotificationTarget> owner_;
  // Both counters run over the whole life of the engine, across jobs, from 1.
  uint16_t next_identifier_ = 1;
  uint16_t next_sequence_ = 1;
  std::vector<SentRequest> job_requests_;
};

}  // namespace ardvix::nettools
