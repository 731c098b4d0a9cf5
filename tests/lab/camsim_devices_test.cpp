// camsim without a network: the device file and the protocol rules that the lab tests
// cannot reach easily (requests without requester text, requests to one device's address).
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "device_file.h"
#include "device_generator.h"
#include "responder.h"

namespace camsim {
namespace {

TEST(CamsimDeviceFile, RejectsBadLinesWithTheirLineNumber) {
  struct Case {
    const char* text;
    int line;
    const char* message_part;
  };
  const Case cases[] = {
      {"ip=10.77.1.1 mac=A\nip=10.77.1.2\n", 2, "needs ip= and mac="},
      {"ip=10.77.1.300 mac=A\n", 1, "not a unicast"},
      {"ip=224.0.0.1 mac=A\n", 1, "not a unicast"},
      {"# c\n\nip=10.77.1.1 mac=A colour=red\n", 3, "unknown key"},
      {"ip=10.77.1.1 mac=A delay=soon\n", 1, "delay"},
      {"ip=10.77.1.1 mac=A code=256\n", 1, "byte"},
      {"ip=10.77.1.1 mac=A no-answer=cryptomac,reboot\n", 1, "not a command word"},
      {"ip=10.77.1.1 mac=A pw-answer=OK\\q\n", 1, "escape"},
      {"ip=10.77.1.1 mac=A silent=yes\n", 1, "takes no value"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto parsed = ParseDeviceFile(c.text);
    ASSERT_TRUE(std::holds_alternative<DeviceFileError>(parsed));
    const auto& error = std::get<DeviceFileError>(parsed);
    EXPECT_EQ(error.line, c.line);
    EXPECT_NE(error.message.find(c.message_part), std::string::npos) << error.message;
  }
}

TEST(CamsimDeviceFile, DecodesEscapesAndEmptyValues) {
  const auto parsed = ParseDeviceFile(
      "ip=10.77.1.1 mac=00:1A:2B:3C:4D:01 id=a\\sb pw-answer=OK\\n bootproto= "
      "code-videosetc=0xFE no-answer=ipaddrset,dynamcset   # trailing comment\r\n");
  ASSERT_TRUE(std::holds_alternative<std::vector<Device>>(parsed));
  const Device& device = std::get<std::vector<Device>>(parsed).at(0);
  EXPECT_EQ(device.id, "a b");
  EXPECT_EQ(device.faults.pw_answer, "OK\n");
  EXPECT_EQ(device.boot_proto, "");
  EXPECT_EQ(device.faults.code_for.at("videosetc"), 0xFE);
  EXPECT_EQ(device.faults.no_answer, (std::set<std::string>{"ipaddrset", "dynamcset"}));
}

TEST(CamsimGenerator, FillsTheBlockAfterItsFirst256Addresses) {
  const auto devices = std::get<std::vector<Device>>(GenerateDevices(1000, {0x0A4D0000, 16}));
  ASSERT_EQ(devices.size(), 1000u);
  EXPECT_EQ(devices.front().ip, 0x0A4D0101u);  // 10.77.1.1
  EXPECT_EQ(devices.back().ip, 0x0A4D04E8u);   // 10.77.4.232
  EXPECT_EQ(devices.back().mac, "02:CA:00:00:03:E8");
  EXPECT_EQ(devices.back().mask, "255.255.0.0");
  EXPECT_TRUE(std::holds_alternative<std::string>(GenerateDevices(300, {0x0A4D0000, 24})));
}

std::vector<uint8_t> Frame(const std::string& bytes) {
  std::vector<uint8_t> frame(bytes.begin(), bytes.end());
  frame.resize(300, 0);
  return frame;
}

Device Camera(uint32_t ip, const std::string& mac) {
  Device device;
  device.ip = ip;
  device.mac = mac;
  device.id = "admin";
  device.password = "1234";
  return device;
}

TEST(CamsimResponder, VideoPasswordIsFoundWithAndWithoutRequesterText) {
  const std::vector<Device> devices = {Camera(0x0A4D010A, "00:1A:2B:3C:4D:01")};
  struct Case {
    std::string payload;
    uint8_t code;
    std::string echo;
  };
  const std::string head = std::string("videosetcMAC00:1A:2B:3C:4D:01") + "2561921300";
  const std::string zeros(3, '\0');
  const Case cases[] = {
      {head + "LI=10.77.0.1\n" + zeros + "admin=1234=", 0xFC, "LI=10.77.0.1\n"},
      {head + zeros + "admin=1234=", 0xFC, ""},
      {head + zeros + "admin=1234", 0xFD, ""},
  };
  for (const auto& c : cases) {
    const auto replies = Respond(devices, Request{0x0A4D0001, 5000, 0xFFFFFFFF, Frame(c.payload)});
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].datagram.at(99), c.code);
    EXPECT_EQ(std::string(replies[0].datagram.begin() + 100,
                          replies[0].datagram.begin() + 100 + static_cast<long>(c.echo.size())),
              c.echo);
  }
}

TEST(CamsimResponder, RequestToOneDevicesAddressReachesOnlyThatDevice) {
  const std::vector<Device> devices = {Camera(0x0A4D010A, "00:1A:2B:3C:4D:01"),
                                       Camera(0x0A4D010B, "00:1A:2B:3C:4D:02")};
  const auto request = Frame("cryptomacLI=10.77.0.1\n");
  EXPECT_EQ(Respond(devices, Request{0x0A4D0001, 5000, 0xFFFFFFFF, request}).size(), 2u);
  EXPECT_EQ(Respond(devices, Request{0x0A4DFFFF, 5000, 0x0A4DFFFF, request}).size(), 2u);
  const auto directed = Respond(devices, Request{0x0A4D0001, 5000, 0x0A4D010B, request});
  ASSERT_EQ(directed.size(), 1u);
  EXPECT_EQ(directed[0].device, 1u);
}

}  // namespace
}  // namespace camsim
