#include "device_generator.h"

#include <cstdio>

namespace camsim {

std::variant<std::vector<Device>, std::string> GenerateDevices(int count, const Ipv4Block& block) {
  if (count < 1 || count > 65000) return std::string("--generate wants 1 to 65000 devices");
  const uint64_t block_size = uint64_t{1} << (32 - block.prefix);
  // 257 reserved at the start plus one broadcast address at the end.
  if (uint64_t{257} + static_cast<uint64_t>(count) + 1 > block_size) {
    return "block " + FormatIpv4(block.network) + "/" + std::to_string(block.prefix) +
           " is too small for " + std::to_string(count) + " devices";
  }
  const uint32_t mask = block.prefix == 0 ? 0 : ~uint32_t{0} << (32 - block.prefix);
  std::vector<Device> devices;
  devices.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const unsigned number = static_cast<unsigned>(i) + 1;
    char mac[18];
    std::snprintf(mac, sizeof mac, "02:CA:00:00:%02X:%02X", (number >> 8) & 0xFF, number & 0xFF);
    Device device;
    device.ip = block.network + 257 + static_cast<uint32_t>(i);
    device.mac = mac;
    device.id = "admin";
    device.password = "1234";
    device.gateway = FormatIpv4(block.network + 254);
    device.mask = FormatIpv4(mask);
    device.boot_proto = "static";
    device.web_port = "80";
    devices.push_back(std::move(device));
  }
  return devices;
}

}  // namespace camsim
