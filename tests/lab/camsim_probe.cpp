// A PC-side probe for the lab tests: sends one request datagram and prints every answer.
//
//   camsim_probe [--bind IP] [--to IP] [--port N] [--wait-ms N] [--expect N]
//                [--rcvbuf BYTES] (--frame WORD LENGTH PAYLOAD | --hex HEX)
//
// --frame builds a request: the 9-letter WORD, then PAYLOAD (escapes \n \0 \xHH), zero
// bytes up to LENGTH. Output, one line per answer, then a summary:
//   answer <microseconds after the send> <source ip>:<port> <length> <hex>
//   count=<n> first_us=<t> last_us=<t>
// Times are the kernel's arrival stamps (SO_TIMESTAMPNS), so a slow reader does not
// stretch them. It stops after --wait-ms (default 1000) or once --expect answers arrived.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "camsim_probe: %s\n", message.c_str());
  return 2;
}

bool DecodePayload(const std::string& text, std::vector<uint8_t>& out) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out.push_back(static_cast<uint8_t>(text[i]));
      continue;
    }
    if (++i >= text.size()) return false;
    if (text[i] == 'n') {
      out.push_back('\n');
    } else if (text[i] == '0') {
      out.push_back(0);
    } else if (text[i] == '\\') {
      out.push_back('\\');
    } else if (text[i] == 'x' && i + 2 < text.size()) {
      out.push_back(static_cast<uint8_t>(std::stoi(text.substr(i + 1, 2), nullptr, 16)));
      i += 2;
    } else {
      return false;
    }
  }
  return true;
}

bool DecodeHex(const std::string& hex, std::vector<uint8_t>& out) {
  if (hex.size() % 2 != 0) return false;
  for (size_t i = 0; i < hex.size(); i += 2) {
    out.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string bind_ip = "0.0.0.0", to = "255.255.255.255";
  int port = 7005, wait_ms = 1000, expect = 0, rcvbuf = 0;
  std::vector<uint8_t> request;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
    if (arg == "--bind") {
      bind_ip = next();
    } else if (arg == "--to") {
      to = next();
    } else if (arg == "--port") {
      port = std::atoi(next().c_str());
    } else if (arg == "--wait-ms") {
      wait_ms = std::atoi(next().c_str());
    } else if (arg == "--expect") {
      expect = std::atoi(next().c_str());
    } else if (arg == "--rcvbuf") {
      rcvbuf = std::atoi(next().c_str());
    } else if (arg == "--hex") {
      if (!DecodeHex(next(), request)) return Fail("bad --hex");
    } else if (arg == "--frame" && i + 3 < argc) {
      const std::string word = argv[++i];
      const size_t length = static_cast<size_t>(std::atoi(argv[++i]));
      request.assign(word.begin(), word.end());
      if (!DecodePayload(argv[++i], request)) return Fail("bad payload escape");
      if (request.size() > length) return Fail("payload longer than the frame");
      request.resize(length, 0);
    } else {
      return Fail("unknown argument " + arg);
    }
  }
  if (request.empty()) return Fail("nothing to send");
  if (wait_ms < 0 || wait_ms > 30000) return Fail("--wait-ms must be 0 to 30000");

  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  if (fd < 0) return Fail("socket failed");
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
  setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
  if (rcvbuf > 0) setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &rcvbuf, sizeof rcvbuf);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  inet_pton(AF_INET, bind_ip.c_str(), &local.sin_addr);
  if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) return Fail("bind failed");
  sockaddr_in destination{};
  destination.sin_family = AF_INET;
  destination.sin_port = htons(static_cast<uint16_t>(port));
  inet_pton(AF_INET, to.c_str(), &destination.sin_addr);

  using Clock = std::chrono::steady_clock;
  const auto sent_at = Clock::now();
  timespec sent_real{};
  clock_gettime(CLOCK_REALTIME, &sent_real);
  if (sendto(fd, request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&destination),
             sizeof destination) < 0) {
    return Fail(std::string("send failed: ") + std::strerror(errno));
  }
  const auto deadline = sent_at + std::chrono::milliseconds(wait_ms);
  int count = 0;
  long long first_us = -1, last_us = -1;
  std::vector<uint8_t> buffer(65536);
  while (expect == 0 || count < expect) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) break;
    pollfd watched{fd, POLLIN, 0};
    if (poll(&watched, 1, static_cast<int>(left)) <= 0) continue;
    sockaddr_in source{};
    iovec io{buffer.data(), buffer.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(timespec))];
    msghdr message{};
    message.msg_name = &source;
    message.msg_namelen = sizeof source;
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t length = recvmsg(fd, &message, MSG_DONTWAIT);
    if (length < 0) continue;
    timespec arrived{};
    clock_gettime(CLOCK_REALTIME, &arrived);
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
      if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
        std::memcpy(&arrived, CMSG_DATA(c), sizeof arrived);
      }
    }
    const long long at_us = (arrived.tv_sec - sent_real.tv_sec) * 1000000LL +
                            (arrived.tv_nsec - sent_real.tv_nsec) / 1000;
    if (first_us < 0) first_us = at_us;
    last_us = at_us;
    ++count;
    char address[INET_ADDRSTRLEN];
    inet_ntop(AF_INET, &source.sin_addr, address, sizeof address);
    std::printf("answer %lld %s:%u %zd ", at_us, address, ntohs(source.sin_port), length);
    for (ssize_t i = 0; i < length; ++i) std::printf("%02x", buffer[static_cast<size_t>(i)]);
    std::printf("\n");
  }
  std::printf("count=%d first_us=%lld last_us=%lld\n", count, first_us, last_us);
  close(fd);
  return 0;
}
