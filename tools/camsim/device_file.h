// The device file: one device per line as key=value words.
//
//   # comment
//   ip=10.77.1.10 mac=00:1A:2B:00:00:01 id=admin password=1234 gateway=10.77.0.254
//       mask=255.255.0.0 bootproto=static webport=80 delay=200 duplicate=2
//
// Values may use the escapes \n \r \t \s (blank) \\ and \xHH, so that texts such as
// "OK\n" or a blank-containing ID can be written; "key=" gives an empty text. Flags
// (silent, oversize, move-address, foreign-echo) stand alone. README.md lists every key.
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "device.h"

namespace camsim {

struct DeviceFileError {
  int line = 0;
  std::string message;
};

std::variant<std::vector<Device>, DeviceFileError> ParseDeviceFile(std::string_view text);

// Decodes the escapes above; nullopt on a malformed escape.
std::optional<std::string> DecodeEscapes(std::string_view text);

}  // namespace camsim
