// Many well-behaved devices for load runs, numbered inside a block such as 10.77.0.0/16.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "device.h"
#include "ipv4_text.h"

namespace camsim {

// Device i (from 0) gets the address block.network + 256 + 1 + i, keeping the block's first
// 256 addresses free for the PC and other hosts, the MAC 02:CA:00:00:hh:ll (i + 1 in the
// last two groups), the gateway block.network + 254 and the block's mask. Fails when the
// block is too small for count devices.
std::variant<std::vector<Device>, std::string> GenerateDevices(int count, const Ipv4Block& block);

}  // namespace camsim
