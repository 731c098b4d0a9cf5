#include "nettools/pinger.h"

#include <array>
#include <cstdio>

#include "nettools/ping_echo_request.h"
#include "nettools/ping_messages.h"
#include "nettools/ping_reply_parser.h"

namespace ardvix::nettools {
namespace {

// Big enough for a reply behind the longest IPv4 header; longer datagrams are not replies.
constexpr size_t kReceiveBytes = 321;

template <typename... Args>
std::string Format(const char* format, Args... args) {
  std::array<char, 512> text{};
  std::snprintf(text.data(), text.size(), format, args...);
  return text.data();
}

}  // namespace

CPinger::CPinger(PingEnvironment environment, platform::StopEvent& stop)
    : env_(environment), stop_(stop) {}

void CPinger::Ping(uint32_t count, const std::string& target,
                   std::shared_ptr<platform::NotificationTarget> owner) {
  owner_ = std::move(owner);
  job_requests_.clear();

  platform::IcmpOpenResult opened = env_.sockets->Open();
  if (!opened.socket) {
    ReportSocketError("socket()", opened.error_code);
    PostDone(kPingDoneEndedEarly);
    return;
  }
  platform::IcmpSocket& socket = *opened.socket;
  const auto close_socket = [&] {
    if (const int error = socket.Close(); error != 0) ReportSocketError("closesocket()", error);
  };

  const auto addresses = env_.host->ResolveIpv4(target);
  if (!addresses || addresses->empty()) {
    std::string line = Format("Host not found: %s", target.c_str());
    SendOutcome(WM_PING_NOHOST);
    PostLine(kPingLineError, std::move(line));
    PostDone(kPingDoneEndedEarly);
    close_socket();
    return;
  }
  const uint32_t destination = addresses->front();
  const std::string dotted = platform::DottedQuad(destination);
  PostLine(kPingLineOpening, Format("Pinging %s [%s] with %d bytes of data:", target.c_str(),
                                    dotted.c_str(), kEchoDataBytes));

  const uint32_t probe_start_ms = env_.clock->TickCountMs();
  uint32_t timed_out = 0;
  bool stopped = false;
  for (uint32_t cycle = 1; cycle <= count; ++cycle) {
    const bool sent = SendEchoRequest(socket, destination).bytes >= 0;
    ReceivedEcho answer;
    std::optional<CycleEnd> end = PauseReading(socket, destination, answer);
    if (!end) end = AwaitAnswer(socket, destination, answer, env_.wait_ms);
    if (*end == CycleEnd::kStopped) {
      stopped = true;
      break;
    }
    if (*end == CycleEnd::kWaitFailed) break;
    if (*end == CycleEnd::kAnswered) {
      SendOutcome(WM_PING_REPLY);
      PostLine(kPingLineReply,
               Format("Reply[%d] from: %s: bytes=%d time=%ldms TTL=%d", static_cast<int>(cycle),
                      platform::DottedQuad(answer.datagram.source).c_str(), kEchoDataBytes,
                      answer.round_trip_ms, answer.ttl));
    } else if (*end == CycleEnd::kTimedOut && sent) {
      // Without a request on the wire an empty wait proves nothing about the address,
      // so a failed send never counts as a time-out (which would call the address free).
      ++timed_out;
      SendOutcome(WM_PING_TIMEOUT);
      PostLine(kPingLineTimeout, "Request timed out");
    }
  }

  if (!stopped && count > 0 && timed_out == count &&
      NeighbourAnsweredDuringProbe(destination, probe_start_ms)) {
    SendOutcome(WM_PING_REPLY);
    PostLine(kPingLineReply,
             Format("Reply from: %s: answered ARP, ignores echo requests", dotted.c_str()));
  }
  PostDone(kPingDoneCyclesRun);
  close_socket();
}

platform::IcmpSendResult CPinger::SendEchoRequest(platform::IcmpSocket& socket,
                                                  uint32_t destination) {
  SentRequest request;
  request.identifier = next_identifier_++;
  request.sequence = next_sequence_++;
  request.send_time = env_.clock->TickCountMs();
  const EchoRequest bytes =
      BuildEchoRequest(request.identifier, request.sequence, request.send_time);
  const platform::IcmpSendResult result = socket.SendTo(bytes, destination);
  if (result.bytes < 0) {
    ReportSocketError("sendto()", result.error_code);
    return result;
  }
  request.sent_at_us = result.sent_at_us;
  job_requests_.push_back(request);
  return result;
}

platform::IcmpWaitResult CPinger::WaitForReply(platform::IcmpSocket& socket, uint32_t timeout_ms) {
  return socket.WaitReadable(timeout_ms, stop_);
}

ReceivedEcho CPinger::ReceiveEchoReply(platform::IcmpSocket& socket, uint32_t destination) {
  std::array<uint8_t, kReceiveBytes> buffer{};
  ReceivedEcho echo;
  echo.datagram = socket.Receive(buffer);
  if (echo.datagram.bytes < 0) {
    ReportSocketError("recvfrom()", echo.datagram.error_code);
    return echo;
  }
  if (echo.datagram.source != destination) return echo;
  const auto reply =
      ParseEchoReply(std::span(buffer).first(static_cast<size_t>(echo.datagram.bytes)));
  if (!reply) return echo;
  // The datagram socket's kernel puts its own identifier on the wire; the sequence and the
  // echoed send time still tie the reply to one of our requests.
  const bool check_identifier = socket.kind() == platform::IcmpSocketKind::kRaw;
  for (SentRequest& request : job_requests_) {
    if (request.answered || request.sequence != reply->sequence ||
        request.send_time != reply->echoed_send_time ||
        (check_identifier && request.identifier != reply->identifier)) {
      continue;
    }
    request.answered = true;  // a duplicate answer does not count twice
    echo.is_answer = true;
    echo.ttl = reply->ttl;
    const int64_t round_trip_us = echo.datagram.arrival_us - request.sent_at_us;
    echo.round_trip_ms = round_trip_us > 0 ? static_cast<long>(round_trip_us / 1000) : 0;
    break;
  }
  return echo;
}

void CPinger::ReportSocketError(const char* operation, long code) {
  PostLine(kPingLineError, Format("%s - WSAError: %ld", operation, code));
}

std::optional<CPinger::CycleEnd> CPinger::PauseReading(platform::IcmpSocket& socket,
                                                       uint32_t destination, ReceivedEcho& answer) {
  // Datagrams are read as they come during the pause, so an answer is timed when it
  // arrives even where the kernel gave it no time stamp; it is reported when the pause is
  // over, as the cycle's answer.
  const uint32_t start = env_.clock->TickCountMs();
  const CycleEnd end = AwaitAnswer(socket, destination, answer, env_.pause_ms);
  if (end == CycleEnd::kAnswered) {
    const uint32_t elapsed = env_.clock->TickCountMs() - start;
    if (elapsed < env_.pause_ms && stop_.WaitFor(env_.pause_ms - elapsed))
      return CycleEnd::kStopped;
    return end;
  }
  if (end == CycleEnd::kTimedOut) return std::nullopt;  // the pause is over: now the wait
  return end;
}

CPinger::CycleEnd CPinger::AwaitAnswer(platform::IcmpSocket& socket, uint32_t destination,
                                       ReceivedEcho& answer, uint32_t limit_ms) {
  const uint32_t start = env_.clock->TickCountMs();
  for (;;) {
    const uint32_t elapsed = env_.clock->TickCountMs() - start;  // wraps safely
    const uint32_t remaining = elapsed < limit_ms ? limit_ms - elapsed : 0;
    const platform::IcmpWaitResult waited = WaitForReply(socket, remaining);
    switch (waited.state) {
      case platform::IcmpWaitState::kStopped:
        return CycleEnd::kStopped;
      case platform::IcmpWaitState::kTimedOut:
        return CycleEnd::kTimedOut;
      case platform::IcmpWaitState::kFailed:
        ReportSocketError("select()", waited.error_code);
        return CycleEnd::kWaitFailed;
      case platform::IcmpWaitState::kReadable:
        break;
    }
    answer = ReceiveEchoReply(socket, destination);
    // A failed read is no answer, and no proof of silence either: the cycle has no outcome.
    if (answer.datagram.bytes < 0) return CycleEnd::kReceiveFailed;
    if (answer.is_answer) return CycleEnd::kAnswered;
  }
}

bool CPinger::NeighbourAnsweredDuringProbe(uint32_t destination, uint32_t probe_start_ms) {
  if (env_.neighbours == nullptr) return false;
  const auto entry = env_.neighbours->Lookup(destination);
  const uint32_t probe_ms = env_.clock->TickCountMs() - probe_start_ms;
  return entry && AnsweredDuringProbe(*entry, probe_ms);
}

void CPinger::SendOutcome(uint32_t code) { owner_->Send(platform::Notification{code, 0, 0, {}}); }

void CPinger::PostLine(uintptr_t kind, std::string line) {
  owner_->Post(platform::Notification{WM_PING_TEXT, kind, 0, std::move(line)});
}

void CPinger::PostDone(intptr_t result) {
  owner_->Post(platform::Notification{WM_PING_DONE, 0, result, {}});
}

}  // namespace ardvix::nettools
