// Builds device answers the way devices lay them out, for tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace ardvix::testing {

struct FakeDevice {
  std::string mac = "00:11:22:33:44:55";
  std::string gateway = "192.168.0.1";
  std::string mask = "255.255.255.0";
  std::string boot_proto = "static";
  std::string id = "admin";
  std::string web_port = "80";
};

inline void PutText(std::vector<uint8_t>& b, size_t offset, const std::string& text) {
  std::memcpy(b.data() + offset, text.data(), text.size());
}

inline std::vector<uint8_t> AnswerDatagram(uint8_t code, const std::string& echo) {
  std::vector<uint8_t> b(300, 0);
  b[99] = code;
  PutText(b, 100, echo);
  return b;
}

inline std::vector<uint8_t> Announcement(const FakeDevice& d, const std::string& echo) {
  std::vector<uint8_t> b = AnswerDatagram(0xFF, echo);
  PutText(b, 0, d.mac);
  PutText(b, 19, d.gateway);
  PutText(b, 34, d.mask);
  PutText(b, 50, d.boot_proto);
  PutText(b, 60, d.id);
  PutText(b, 140, d.web_port);
  return b;
}

}  // namespace ardvix::testing
