// A device announcement as the seven texts of one row of the device list, in column order.
#pragma once

#include <array>
#include <string>

namespace ardvix::protocol {

struct DeviceRecord {
  std::string ipAddress;
  std::string macAddress;
  std::string gateway;
  std::string subnetMask;
  std::string bootProto;
  std::string id;
  std::string webPort;

  std::array<std::string, 7> Cells() const {
    return {ipAddress, macAddress, gateway, subnetMask, bootProto, id, webPort};
  }
};

}  // namespace ardvix::protocol
