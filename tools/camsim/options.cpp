#include "options.h"

#include <charconv>
#include <string_view>

namespace camsim {
namespace {

bool ParseInt(std::string_view text, int low, int high, int& out) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value < low ||
      value > high) {
    return false;
  }
  out = value;
  return true;
}

}  // namespace

std::variant<Options, std::string> ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    auto value = [&]() -> std::optional<std::string_view> {
      if (i + 1 >= argc) return std::nullopt;
      return std::string_view(argv[++i]);
    };
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--move-address") {
      options.move_all = true;
    } else if (arg == "--print-addresses") {
      options.print_addresses = true;
    } else if (arg == "--devices" || arg == "--base" || arg == "--log") {
      const auto text = value();
      if (!text) return std::string(arg) + " needs a value";
      (arg == "--devices" ? options.devices_file
       : arg == "--base"  ? options.base
                          : options.log_path) = std::string(*text);
    } else if (arg == "--generate" || arg == "--port" || arg == "--max-seconds") {
      const auto text = value();
      const int high = arg == "--generate" ? 65000 : arg == "--port" ? 65535 : 86400;
      const int low = arg == "--port" ? 1 : 0;
      int& target = arg == "--generate" ? options.generate
                    : arg == "--port"   ? options.port
                                        : options.max_seconds;
      if (!text || !ParseInt(*text, low, high, target)) {
        return std::string(arg) + " needs a number from " + std::to_string(low) + " to " +
               std::to_string(high);
      }
    } else {
      return "unknown argument \"" + std::string(arg) + "\"";
    }
  }
  return options;
}

}  // namespace camsim
