// The kernel's IPv4 neighbour (ARP) table, as the ping engine needs it: a host that drops
// echo requests still answers ARP, and its entry shows that it is there.
// Threads: any; a lookup blocks until the kernel answered.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>

namespace ardvix::nettools {

enum class NeighbourState { kIncomplete, kReachable, kStale, kDelay, kProbe, kFailed, kOther };

struct NeighbourEntry {
  NeighbourState state = NeighbourState::kOther;
  bool has_link_address = false;
  // How long ago the kernel last confirmed the link-layer address.
  uint32_t confirmed_ms_ago = std::numeric_limits<uint32_t>::max();
};

class NeighbourTable {
 public:
  virtual ~NeighbourTable() = default;
  // The entry of an IPv4 address (host byte order); nullopt when the table has none or
  // cannot be read.
  virtual std::optional<NeighbourEntry> Lookup(uint32_t address) = 0;
};

// True when the entry proves that a host answered ARP within the last probe_ms: reachable,
// with a link-layer address, confirmed since the probe began. A stale entry may be left
// from a host that is gone, and incomplete or failed ones had no answer.
inline bool AnsweredDuringProbe(const NeighbourEntry& entry, uint32_t probe_ms) {
  return entry.state == NeighbourState::kReachable && entry.has_link_address &&
         entry.confirmed_ms_ago <= probe_ms;
}

}  // namespace ardvix::nettools
