// The echo request's bytes, the Internet checksum, and which datagrams read as echo replies.
#include <gtest/gtest.h>

#include <vector>

#include "nettools/ping_echo_request.h"
#include "nettools/ping_reply_parser.h"
#include "ping_fakes.h"

namespace ardvix::nettools {
namespace {

// The checksum as it lies on the wire (stored little-endian, read in network order).
uint16_t WireChecksum(std::vector<uint8_t> bytes) {
  const uint16_t sum = InternetChecksum(bytes);
  return static_cast<uint16_t>(((sum & 0xFF) << 8) | (sum >> 8));
}

TEST(InternetChecksum, KnownVectors) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    uint16_t wire;
  };
  const Case cases[] = {
      {"rfc1071_example", {0x00, 0x01, 0xF2, 0x03, 0xF4, 0xF5, 0xF6, 0xF7}, 0x220D},
      {"odd_length_last_byte_is_high_on_the_wire", {0x01, 0x02, 0x03}, 0xFBFD},
      {"carry_folds_back", {0xFF, 0xFF, 0x00, 0x01}, 0xFFFE},
      {"empty", {}, 0xFFFF},
      // A classic echo request header: type 8, id 1, seq 1 in network order.
      {"echo_header", {0x08, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01}, 0xF7FD},
  };
  for (const Case& c : cases) EXPECT_EQ(WireChecksum(c.bytes), c.wire) << c.name;
}

TEST(InternetChecksum, RecomputingOverAPacketWithItsChecksumGivesZero) {
  for (uint32_t send_time : {0u, 0x12345678u, 0xFFFFFFFFu}) {
    const EchoRequest request = BuildEchoRequest(0xBEEF, 0x0102, send_time);
    EXPECT_EQ(InternetChecksum(request), 0) << send_time;
  }
}

TEST(EchoRequest, LayoutOfTheFortyFiveBytes) {
  const EchoRequest r = BuildEchoRequest(0x0201, 0x0403, 0xA1B2C3D4);
  ASSERT_EQ(r.size(), 45u);
  EXPECT_EQ(r[0], 8);
  EXPECT_EQ(r[1], 0);
  EXPECT_EQ(r[4], 0x01);  // identifier, low byte first
  EXPECT_EQ(r[5], 0x02);
  EXPECT_EQ(r[6], 0x03);  // sequence, low byte first
  EXPECT_EQ(r[7], 0x04);
  EXPECT_EQ(r[8], 0);
  EXPECT_EQ((std::vector<uint8_t>(r.begin() + 9, r.begin() + 13)),
            (std::vector<uint8_t>{0xD4, 0xC3, 0xB2, 0xA1}));
  for (size_t i = 13; i < 45; ++i) EXPECT_EQ(r[i], 0x20 + (i - 13)) << i;
}

TEST(ParseEchoReply, ReadsFieldsBehindHeadersOfAnyLength) {
  const EchoRequest request = BuildEchoRequest(7, 9, 0x01020304);
  const std::vector<uint8_t> bytes(request.begin(), request.end());
  for (int words : {5, 6, 15}) {
    const auto reply = ParseEchoReply(pingtest::EchoReplyTo(bytes, 33, words));
    ASSERT_TRUE(reply) << words;
    EXPECT_EQ(reply->ttl, 33);
    EXPECT_EQ(reply->identifier, 7);
    EXPECT_EQ(reply->sequence, 9);
    EXPECT_EQ(reply->echoed_send_time, 0x01020304u);
  }
}

TEST(ParseEchoReply, RejectsWhatIsNotAnEchoReply) {
  const EchoRequest request = BuildEchoRequest(1, 1, 5);
  const std::vector<uint8_t> sent(request.begin(), request.end());
  std::vector<uint8_t> reply = pingtest::EchoReplyTo(sent);

  auto with = [&](size_t offset, uint8_t value) {
    std::vector<uint8_t> d = reply;
    d[offset] = value;
    return d;
  };
  struct Case {
    const char* name;
    std::vector<uint8_t> datagram;
  };
  const Case cases[] = {
      {"empty", {}},
      {"shorter_than_an_ip_header", std::vector<uint8_t>(reply.begin(), reply.begin() + 19)},
      {"ihl_below_five", with(0, 0x44)},
      {"ihl_past_the_end",
       [&] {
         std::vector<uint8_t> d(reply.begin(), reply.begin() + 40);
         d[0] = 0x4F;  // claims 60 header bytes
         return d;
       }()},
      {"ip_version_6", with(0, 0x65)},
      {"not_icmp", with(9, 17)},
      {"echo_request_looped_back", with(20, 8)},
      {"reply_with_nonzero_code", with(21, 1)},
      {"host_unreachable_quoting_our_request", pingtest::HostUnreachableFor(sent)},
      {"too_short_for_the_send_time", std::vector<uint8_t>(reply.begin(), reply.begin() + 20 + 12)},
  };
  for (const Case& c : cases) EXPECT_FALSE(ParseEchoReply(c.datagram)) << c.name;
}

}  // namespace
}  // namespace ardvix::nettools
