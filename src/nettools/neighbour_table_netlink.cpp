#include "nettools/neighbour_table_netlink.h"

#include <arpa/inet.h>
#include <linux/neighbour.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace ardvix::nettools {
namespace {

constexpr int kAnswerTimeoutMs = 1000;

NeighbourState StateOf(uint16_t nud) {
  switch (nud) {
    case NUD_INCOMPLETE:
      return NeighbourState::kIncomplete;
    case NUD_REACHABLE:
      return NeighbourState::kReachable;
    case NUD_STALE:
      return NeighbourState::kStale;
    case NUD_DELAY:
      return NeighbourState::kDelay;
    case NUD_PROBE:
      return NeighbourState::kProbe;
    case NUD_FAILED:
      return NeighbourState::kFailed;
    default:
      return NeighbourState::kOther;
  }
}

// The entry of one RTM_NEWNEIGH message, when it is about address.
std::optional<NeighbourEntry> EntryFor(const nlmsghdr* h, uint32_t address, long ticks_per_s) {
  if (h->nlmsg_type != RTM_NEWNEIGH || h->nlmsg_len < NLMSG_LENGTH(sizeof(ndmsg))) {
    return std::nullopt;
  }
  const auto* nd = static_cast<const ndmsg*>(NLMSG_DATA(h));
  if (nd->ndm_family != AF_INET) return std::nullopt;
  NeighbourEntry entry;
  entry.state = StateOf(nd->ndm_state);
  bool matches = false;
  int length = static_cast<int>(h->nlmsg_len - NLMSG_LENGTH(sizeof(ndmsg)));
  for (auto* a = reinterpret_cast<const rtattr*>(reinterpret_cast<const uint8_t*>(nd) +
                                                 NLMSG_ALIGN(sizeof(ndmsg)));
       RTA_OK(a, length); a = RTA_NEXT(a, length)) {
    const size_t payload = RTA_PAYLOAD(a);
    if (a->rta_type == NDA_DST && payload == 4) {
      uint32_t dst = 0;
      std::memcpy(&dst, RTA_DATA(a), 4);
      matches = ntohl(dst) == address;
    } else if (a->rta_type == NDA_LLADDR && payload > 0) {
      entry.has_link_address = true;
    } else if (a->rta_type == NDA_CACHEINFO && payload >= sizeof(nda_cacheinfo)) {
      nda_cacheinfo info{};
      std::memcpy(&info, RTA_DATA(a), sizeof info);
      // The kernel gives ages in clock ticks (USER_HZ).
      entry.confirmed_ms_ago = static_cast<uint32_t>(uint64_t{info.ndm_confirmed} * 1000 /
                                                     static_cast<uint64_t>(ticks_per_s));
    }
  }
  if (!matches) return std::nullopt;
  return entry;
}

class FdCloser {
 public:
  explicit FdCloser(int fd) : fd_(fd) {}
  ~FdCloser() { close(fd_); }
  FdCloser(const FdCloser&) = delete;
  FdCloser& operator=(const FdCloser&) = delete;

 private:
  int fd_;
};

}  // namespace

std::optional<NeighbourEntry> NetlinkNeighbourTable::Lookup(uint32_t address) {
  const int fd = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
  if (fd < 0) return std::nullopt;
  FdCloser closer(fd);

  struct {
    nlmsghdr header;
    ndmsg body;
  } request{};
  request.header.nlmsg_len = NLMSG_LENGTH(sizeof(ndmsg));
  request.header.nlmsg_type = RTM_GETNEIGH;
  request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
  request.header.nlmsg_seq = 1;
  request.body.ndm_family = AF_INET;
  sockaddr_nl kernel{};
  kernel.nl_family = AF_NETLINK;
  if (sendto(fd, &request, request.header.nlmsg_len, 0, reinterpret_cast<sockaddr*>(&kernel),
             sizeof kernel) < 0) {
    return std::nullopt;
  }

  const long ticks_per_s = sysconf(_SC_CLK_TCK) > 0 ? sysconf(_SC_CLK_TCK) : 100;
  std::optional<NeighbourEntry> best;
  alignas(nlmsghdr) uint8_t buffer[32768];
  for (;;) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, kAnswerTimeoutMs) <= 0) return best;  // never hang on a silent kernel
    const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0) return best;
    int left = static_cast<int>(got);
    for (auto* h = reinterpret_cast<const nlmsghdr*>(buffer); NLMSG_OK(h, left);
         h = NLMSG_NEXT(h, left)) {
      if (h->nlmsg_type == NLMSG_DONE || h->nlmsg_type == NLMSG_ERROR) return best;
      const auto entry = EntryFor(h, address, ticks_per_s);
      // One address may have entries on several links; a reachable one decides.
      if (entry && (!best || entry->state == NeighbourState::kReachable)) best = entry;
    }
  }
}

}  // namespace ardvix::nettools
