#include "device_file.h"

#include <charconv>
#include <optional>

#include "ipv4_text.h"

namespace camsim {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Decimal or 0x-prefixed hexadecimal, within [low, high].
std::optional<int> ParseNumber(std::string_view text, int low, int high) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value < low ||
      value > high) {
    return std::nullopt;
  }
  return value;
}

bool IsCommandWord(std::string_view word) {
  if (word.size() != 9) return false;
  for (char c : word) {
    if (c < 'a' || c > 'z') return false;
  }
  return true;
}

std::vector<std::string_view> SplitWords(std::string_view line, char separator) {
  std::vector<std::string_view> words;
  size_t pos = 0;
  while (pos < line.size()) {
    while (pos < line.size() && (line[pos] == separator || line[pos] == '\t')) ++pos;
    size_t end = pos;
    while (end < line.size() && line[end] != separator && line[end] != '\t') ++end;
    if (end > pos) words.push_back(line.substr(pos, end - pos));
    pos = end;
  }
  return words;
}

// Applies one key=value word; returns an error message or an empty string.
std::string ApplyWord(std::string_view word, Device& device, bool& has_ip, bool& has_mac) {
  const size_t eq = word.find('=');
  const std::string_view key = word.substr(0, eq);
  const bool has_value = eq != std::string_view::npos;
  const auto decoded = has_value ? DecodeEscapes(word.substr(eq + 1)) : std::string();
  if (!decoded) return "malformed escape in \"" + std::string(word) + "\"";
  const std::string& value = *decoded;
  auto needs_value = [&]() {
    return has_value ? "" : "\"" + std::string(key) + "\" needs =<value>";
  };
  auto flag = [&](bool& target) -> std::string {
    if (has_value) return "\"" + std::string(key) + "\" takes no value";
    target = true;
    return "";
  };
  DeviceFaults& faults = device.faults;

  if (key == "ip") {
    if (!has_value) return needs_value();
    const auto ip = ParseIpv4(value);
    if (!ip || !IsAssignableUnicast(*ip)) return "ip \"" + value + "\" is not a unicast address";
    device.ip = *ip;
    has_ip = true;
  } else if (key == "mac") {
    if (value.empty()) return "mac needs a text";
    device.mac = value;
    has_mac = true;
  } else if (key == "id" || key == "password" || key == "gateway" || key == "mask" ||
             key == "bootproto" || key == "webport") {
    if (!has_value) return needs_value();
    std::string& target = key == "id"          ? device.id
                          : key == "password"  ? device.password
                          : key == "gateway"   ? device.gateway
                          : key == "mask"      ? device.mask
                          : key == "bootproto" ? device.boot_proto
                                               : device.web_port;
    target = value;
  } else if (key == "silent") {
    return flag(faults.silent);
  } else if (key == "oversize") {
    return flag(faults.oversize);
  } else if (key == "move-address") {
    return flag(faults.move_address);
  } else if (key == "foreign-echo") {
    faults.foreign_echo = has_value ? value : std::string(kDefaultForeignEcho);
  } else if (key == "delay") {
    const auto ms = ParseNumber(value, 0, 60000);
    if (!ms) return "delay must be 0 to 60000 ms";
    faults.delay_ms = *ms;
  } else if (key == "duplicate") {
    const auto count = ParseNumber(value, 1, 100);
    if (!count) return "duplicate must be 1 to 100";
    faults.duplicate = *count;
  } else if (key == "code" || key.starts_with("code-")) {
    const auto code = ParseNumber(value, 0, 255);
    if (!code) return "\"" + std::string(key) + "\" must be a byte (0 to 255 or 0x00 to 0xFF)";
    if (key == "code") {
      faults.code = static_cast<uint8_t>(*code);
    } else {
      const std::string_view command = key.substr(5);
      if (!IsCommandWord(command)) return "unknown command word in \"" + std::string(key) + "\"";
      faults.code_for[std::string(command)] = static_cast<uint8_t>(*code);
    }
  } else if (key == "pw-answer") {
    if (!has_value) return needs_value();
    faults.pw_answer = value;
  } else if (key == "no-answer") {
    for (std::string_view command : SplitWords(value, ',')) {
      if (!IsCommandWord(command))
        return "no-answer: \"" + std::string(command) + "\" is not a command word";
      faults.no_answer.insert(std::string(command));
    }
  } else {
    return "unknown key \"" + std::string(key) + "\"";
  }
  return "";
}

}  // namespace

std::optional<std::string> DecodeEscapes(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i >= text.size()) return std::nullopt;
    switch (text[i]) {
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case 's':
        out += ' ';
        break;
      case '\\':
        out += '\\';
        break;
      case 'x': {
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = HexDigit(text[i + 1]);
        const int low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
        break;
      }
      default:
        return std::nullopt;
    }
  }
  return out;
}

std::variant<std::vector<Device>, DeviceFileError> ParseDeviceFile(std::string_view text) {
  std::vector<Device> devices;
  int line_number = 0;
  while (!text.empty()) {
    ++line_number;
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (const size_t hash = line.find('#'); hash != std::string_view::npos) {
      line = line.substr(0, hash);
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto words = SplitWords(line, ' ');
    if (words.empty()) continue;

    Device device;
    device.id = "admin";
    device.password = "1234";
    device.mask = "255.255.0.0";
    device.boot_proto = "static";
    device.web_port = "80";
    bool has_ip = false;
    bool has_mac = false;
    for (std::string_view word : words) {
      std::string problem = ApplyWord(word, device, has_ip, has_mac);
      if (!problem.empty()) return DeviceFileError{line_number, problem};
    }
    if (!has_ip || !has_mac) return DeviceFileError{line_number, "a device needs ip= and mac="};
    devices.push_back(std::move(device));
  }
  return devices;
}

}  // namespace camsim
