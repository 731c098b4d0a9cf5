// Moves a device's address on the network interface with the ip command, so that a
// device that took a new static address really answers pings and datagrams there.
// Only allowed inside a network namespace of its own: camsim never changes the host's
// addresses.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace camsim {

// nullopt when moving is allowed here; otherwise why not.
std::optional<std::string> AddressMoveRefusal();

// Adds `to`/32 on the interface that holds `from`, then removes `from` unless
// keep_from (another device still answers there). Returns "" or what failed.
std::string MoveAddress(uint32_t from, uint32_t to, bool keep_from);

}  // namespace camsim
