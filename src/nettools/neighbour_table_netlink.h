// The neighbour table read from the kernel over rtnetlink (RTM_GETNEIGH), in the network
// namespace of the thread that makes the lookup.
#pragma once

#include "nettools/neighbour_table.h"

namespace ardvix::nettools {

class NetlinkNeighbourTable : public NeighbourTable {
 public:
  std::optional<NeighbourEntry> Lookup(uint32_t address) override;
};

}  // namespace ardvix::nettools
