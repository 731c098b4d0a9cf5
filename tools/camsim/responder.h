// What the simulated devices do with one received request: which of them answer, with
// which bytes, when, and how their settings change. No sockets here, so every protocol
// rule can be checked without a network.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device.h"

namespace camsim {

struct Request {
  uint32_t source_ip = 0;  // host byte order
  uint16_t source_port = 0;
  uint32_t destination_ip = 0;  // the IP header's destination (broadcast or a device)
  std::vector<uint8_t> datagram;
};

// New settings a device takes once its answer has left (at once when it sends none).
struct SettingsChange {
  std::optional<uint32_t> address;  // a new address from "ipaddrset"
  std::optional<std::string> gateway;
  std::optional<std::string> mask;
  std::string boot_proto;
};

struct Reply {
  size_t device = 0;              // index into the device list
  std::vector<uint8_t> datagram;  // empty: nothing is sent
  int copies = 1;
  int delay_ms = 0;
  std::optional<SettingsChange> change;
  std::string note;  // why, for the traffic log: "announce", "password OK", ...
};

// Devices answer broadcasts; a request sent to one device's own address reaches only the
// devices holding that address. Devices whose MAC is not named stay silent.
std::vector<Reply> Respond(const std::vector<Device>& devices, const Request& request);

// Takes the settings into the device's record. The address changes only when the caller
// says it was really moved (on the interface), so the device keeps answering from an
// address it holds.
void ApplyChange(Device& device, const SettingsChange& change, bool address_moved);

}  // namespace camsim
