// The command line of camsim.
#pragma once

#include <optional>
#include <string>
#include <variant>

namespace camsim {

struct Options {
  std::string devices_file;           // --devices
  int generate = 0;                   // --generate N
  std::string base = "10.77.0.0/16";  // --base
  std::string log_path;               // --log; empty: no traffic log
  int port = 7005;                    // --port
  int max_seconds = 0;                // --max-seconds; 0: until SIGTERM/SIGINT
  bool move_all = false;              // --move-address: every device moves its address
  bool print_addresses = false;       // --print-addresses: list <ip>/32 per device and exit
  bool help = false;
};

inline constexpr char kUsage[] =
    "usage: camsim [--devices FILE] [--generate N [--base CIDR]] [--log FILE|-]\n"
    "              [--port N] [--max-seconds N] [--move-address] [--print-addresses]\n"
    "Serves simulated devices on UDP port 7005 from their own IPv4 addresses.\n"
    "The addresses must already be on an interface of this network namespace\n"
    "(--print-addresses lists them for `ip -batch`). See tools/camsim/README.md.\n";

// Returns the options or a message naming the bad argument.
std::variant<Options, std::string> ParseOptions(int argc, char** argv);

}  // namespace camsim
