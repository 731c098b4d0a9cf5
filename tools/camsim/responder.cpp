#include "responder.h"

#include <functional>

#include "ipv4_text.h"
#include "wire_format.h"

namespace camsim {
namespace {

constexpr size_t kMacOffset = 12;
constexpr size_t kVideoSettingsLength = 10;

// "address 10.77.1.5\n" at offset; advances offset past the line feed.
std::optional<uint32_t> ReadAddressLine(const std::vector<uint8_t>& datagram, size_t& offset,
                                        std::string_view keyword) {
  const std::string line = TextAt(datagram, offset, 40);
  const size_t feed = line.find('\n');
  if (feed == std::string::npos || line.compare(0, keyword.size(), keyword) != 0 ||
      line.size() <= keyword.size() || line[keyword.size()] != ' ') {
    return std::nullopt;
  }
  const auto address =
      ParseIpv4(std::string_view(line).substr(keyword.size() + 1, feed - keyword.size() - 1));
  if (address) offset += feed + 1;
  return address;
}

uint8_t CodeFor(const Device& device, const std::string& command, uint8_t normal) {
  const auto& faults = device.faults;
  if (auto it = faults.code_for.find(command); it != faults.code_for.end()) return it->second;
  return faults.code.value_or(normal);
}

std::vector<uint8_t> Answer(const Device& device, const std::string& command, uint8_t code,
                            const std::string& requester_text) {
  const std::string& echo =
      device.faults.foreign_echo ? *device.faults.foreign_echo : requester_text;
  return BuildAnswer(device, CodeFor(device, command, code), echo);
}

std::optional<Reply> Announce(const Device& device, const Request& request) {
  const std::string requester = TextAt(request.datagram, 9, kEchoWidth);
  return Reply{
      0, Answer(device, "cryptomac", kCodeAnnouncement, requester), 1, 0, std::nullopt, "announce"};
}

std::optional<Reply> ConfirmPassword(const Device& device, const Request& request) {
  if (!NamesMac(request.datagram, device.mac)) return std::nullopt;
  const std::string auth = TextAt(request.datagram, kMacOffset + device.mac.size(), 60);
  const bool ok = auth == device.id + "=" + device.password + "=";
  const std::string text = device.faults.pw_answer.value_or(ok ? "OK" : "NO");
  return Reply{0,
               std::vector<uint8_t>(text.begin(), text.end()),
               1,
               0,
               std::nullopt,
               ok ? "password OK" : "password wrong"};
}

std::optional<Reply> SetStaticAddress(const Device& device, const Request& request) {
  if (!NamesMac(request.datagram, device.mac)) return std::nullopt;
  size_t offset = kMacOffset + device.mac.size();
  const auto address = ReadAddressLine(request.datagram, offset, "address");
  const auto gateway =
      address ? ReadAddressLine(request.datagram, offset, "gateway") : std::nullopt;
  const auto mask = gateway ? ReadAddressLine(request.datagram, offset, "netmask") : std::nullopt;
  if (!mask) return Reply{0, {}, 0, 0, std::nullopt, "malformed ipaddrset ignored"};
  const std::string requester = TextAt(request.datagram, offset, kEchoWidth);
  SettingsChange change{address, FormatIpv4(*gateway), FormatIpv4(*mask), "static"};
  return Reply{0,      Answer(device, "ipaddrset", kCodeStaticApplied, requester),
               1,      0,
               change, "static address " + FormatIpv4(*address)};
}

std::optional<Reply> SetDhcp(const Device& device, const Request& request) {
  if (!NamesMac(request.datagram, device.mac)) return std::nullopt;
  const std::string requester =
      TextAt(request.datagram, kMacOffset + device.mac.size(), kEchoWidth);
  SettingsChange change{std::nullopt, std::nullopt, std::nullopt, "dhcp"};
  return Reply{0, Answer(device, "dynamcset", kCodeDhcpApplied, requester), 1, 0, change, "dhcp"};
}

std::optional<Reply> SetVideo(const Device& device, const Request& request) {
  if (!NamesMac(request.datagram, device.mac)) return std::nullopt;
  // MAC, 10 setting bytes, the requester text, three zero bytes, then "id=password=".
  const size_t requester_offset = kMacOffset + device.mac.size() + kVideoSettingsLength;
  const std::string requester = TextAt(request.datagram, requester_offset, kEchoWidth);
  const std::string auth = TextAt(request.datagram, requester_offset + requester.size() + 3, 60);
  const bool ok = auth == device.id + "=" + device.password + "=";
  return Reply{
      0,
      Answer(device, "videosetc", ok ? kCodeVideoApplied : kCodeVideoBadPassword, requester),
      1,
      0,
      std::nullopt,
      ok ? "video settings applied" : "video settings: password wrong"};
}

using Handler = std::optional<Reply> (*)(const Device&, const Request&);

Handler HandlerFor(const std::string& command) {
  if (command == "cryptomac") return Announce;
  if (command == "pwconfirm") return ConfirmPassword;
  if (command == "ipaddrset") return SetStaticAddress;
  if (command == "dynamcset") return SetDhcp;
  if (command == "videosetc") return SetVideo;
  return nullptr;  // "destroyee", "ipadrfind" and unknown words are only logged
}

bool HoldsAddress(const std::vector<Device>& devices, uint32_t address) {
  for (const Device& device : devices) {
    if (device.ip == address) return true;
  }
  return false;
}

}  // namespace

std::vector<Reply> Respond(const std::vector<Device>& devices, const Request& request) {
  const std::string command = CommandWord(request.datagram);
  const Handler handler = HandlerFor(command);
  std::vector<Reply> replies;
  if (handler == nullptr) return replies;
  const bool directed = HoldsAddress(devices, request.destination_ip);
  for (size_t i = 0; i < devices.size(); ++i) {
    const Device& device = devices[i];
    if (device.faults.silent || (directed && device.ip != request.destination_ip)) continue;
    std::optional<Reply> reply = handler(device, request);
    if (!reply) continue;
    reply->device = i;
    reply->delay_ms = device.faults.delay_ms;
    if (!reply->datagram.empty()) {
      reply->copies = device.faults.duplicate;
      if (device.faults.oversize) reply->datagram.resize(kOversizeLength, 0);
      if (device.faults.no_answer.contains(command)) {
        reply->datagram.clear();
        reply->note += " (answer withheld)";
      }
    }
    replies.push_back(std::move(*reply));
  }
  return replies;
}

void ApplyChange(Device& device, const SettingsChange& change, bool address_moved) {
  if (change.address && address_moved) device.ip = *change.address;
  if (change.gateway) device.gateway = *change.gateway;
  if (change.mask) device.mask = *change.mask;
  device.boot_proto = change.boot_proto;
}

}  // namespace camsim
