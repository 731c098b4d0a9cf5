// One simulated device: what it announces, what it checks, and how it misbehaves.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace camsim {

// Ways a device departs from a well-behaved one; all off by default.
struct DeviceFaults {
  bool silent = false;                      // ignores every request, like a device switched off
  int delay_ms = 0;                         // answers this much later
  std::optional<std::string> foreign_echo;  // echoes this text instead of the requester's
  bool oversize = false;                    // pads every answer to kOversizeLength bytes
  std::optional<uint8_t> code;              // answer code on every 300-byte answer
  std::map<std::string, uint8_t> code_for;  // answer code for one command word (wins over code)
  int duplicate = 1;                        // sends every answer this many times
  std::optional<std::string> pw_answer;     // answers "pwconfirm" with this text
  std::set<std::string> no_answer;          // carries these commands out but never answers them
  bool move_address = false;                // "ipaddrset" really moves its address (lab only)
};

inline constexpr size_t kOversizeLength = 400;
inline constexpr char kDefaultForeignEcho[] = "LI=10.77.250.250\n";

struct Device {
  uint32_t ip = 0;  // host byte order; the address it answers from
  std::string mac;  // "00:1A:2B:3C:4D:5E", as announced
  std::string id;
  std::string password;
  std::string gateway;  // texts as announced, not necessarily valid addresses
  std::string mask;
  std::string boot_proto;
  std::string web_port;
  DeviceFaults faults;
};

}  // namespace camsim
