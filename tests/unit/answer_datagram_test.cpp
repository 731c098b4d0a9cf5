#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "protocol/answer_datagram.h"

namespace ardvix::protocol {
namespace {

using Buffer = std::array<uint8_t, 300>;

void Put(Buffer& b, size_t offset, std::string_view text) {
  std::memcpy(b.data() + offset, text.data(), text.size());
}

Buffer Announcement() {
  Buffer b{};
  Put(b, 0, "00:11:22:AA:BB:CC");
  Put(b, 19, "192.168.100.254");  // fills its 15 bytes: must not run into the mask
  Put(b, 34, "255.255.255.0");
  Put(b, 50, "static");
  Put(b, 60, "adminadmin");  // fills its 10 bytes
  b[99] = 0xFF;
  Put(b, 100, "LI=192.168.0.1\n");
  Put(b, 140, "80");
  return b;
}

TEST(Announcement, FieldsThatFillTheirWidthAreTakenWhole) {
  const DeviceRecord r = ParseAnnouncement(Announcement(), "192.168.0.77");
  EXPECT_EQ(r.ipAddress, "192.168.0.77");
  EXPECT_EQ(r.macAddress, "00:11:22:AA:BB:CC");
  EXPECT_EQ(r.gateway, "192.168.100.254");
  EXPECT_EQ(r.subnetMask, "255.255.255.0");
  EXPECT_EQ(r.bootProto, "static");
  EXPECT_EQ(r.id, "adminadmin");
  EXPECT_EQ(r.webPort, "80");
}

TEST(Announcement, MacWithoutTerminatorIsCutTo17AndEmptyWebPortReadsUpgrade) {
  Buffer b = Announcement();
  Put(b, 0, "00:11:22:AA:BB:CC:DD");  // runs over bytes 17-19
  std::memset(b.data() + 140, 0, 6);
  const DeviceRecord r = ParseAnnouncement(b, "10.0.0.2");
  EXPECT_EQ(r.macAddress, "00:11:22:AA:BB:CC");
  EXPECT_EQ(r.webPort, "Upgrade");
  Put(b, 140, "one");
  EXPECT_EQ(ParseAnnouncement(b, "10.0.0.2").webPort, "one");
}

struct MatchCase {
  const char* name;
  std::string local_text;
  std::string echo;
  uint8_t code;
  bool matches;
};

class AnswerMatching : public ::testing::TestWithParam<MatchCase> {};

TEST_P(AnswerMatching, EchoIsComparedOverTheLocalTextLength) {
  const MatchCase& c = GetParam();
  Buffer b{};
  b[99] = c.code;
  Put(b, 100, c.echo);
  EXPECT_EQ(MatchAnswer(b, c.local_text, {0xFF}).has_value(), c.matches);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AnswerMatching,
    ::testing::Values(
        MatchCase{"OwnText", "LI=192.168.0.1\n", "LI=192.168.0.1\n", 0xFF, true},
        MatchCase{"LineFeedIsCompared", "LI=192.168.0.1\n", "LI=192.168.0.10\n", 0xFF, false},
        MatchCase{"BytesAfterTheTextAreIgnored", "LI=192.168.0.1\n", "LI=192.168.0.1\nXYZ", 0xFF,
                  true},
        MatchCase{"AnotherPcsText", "LI=192.168.0.1\n", "LI=192.168.0.2\n", 0xFF, false},
        MatchCase{"OtherCode", "LI=192.168.0.1\n", "LI=192.168.0.1\n", 0xFA, false},
        MatchCase{"NoLocalAddressMatchesAnyEcho", "", "LI=10.1.1.1\n", 0xFF, true}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(AnswerMatchingShort, DatagramShorterThan100BytesHasCodeZero) {
  Buffer b{};  // a short datagram in the zeroed buffer
  Put(b, 0, "hello");
  EXPECT_FALSE(MatchAnswer(b, "LI=1.2.3.4\n", {0xFF, 0xFA, 0xFC, 0xFD, 0xFE}).has_value());
}

}  // namespace
}  // namespace ardvix::protocol
