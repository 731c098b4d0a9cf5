#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "protocol/command_datagram.h"

namespace ardvix::protocol {
namespace {

std::string Bytes(std::span<const uint8_t> frame, size_t from, size_t n) {
  return std::string(frame.begin() + from, frame.begin() + from + n);
}

bool AllZero(std::span<const uint8_t> frame, size_t from) {
  for (size_t i = from; i < frame.size(); ++i) {
    if (frame[i] != 0) return false;
  }
  return true;
}

struct FrameCase {
  std::string_view word;
  size_t length;
};

class EveryCommandWord : public ::testing::TestWithParam<FrameCase> {};

TEST_P(EveryCommandWord, EmptyPayloadIsTheWordThenZerosToTheEnd) {
  const auto [word, length] = GetParam();
  std::vector<uint8_t> frame(length, 0xAA);  // stale bytes from an earlier command
  BuildFrame(frame, word);
  EXPECT_EQ(Bytes(frame, 0, 9), word);
  EXPECT_TRUE(AllZero(frame, 9));
}

TEST_P(EveryCommandWord, PayloadTextsFollowTheWordWithoutTerminators) {
  const auto [word, length] = GetParam();
  std::vector<uint8_t> frame(length, 0xAA);
  const size_t written = BuildFrame(frame, word, {"MAC", "00:11:22:33:44:55", "LI=10.0.0.1\n"});
  EXPECT_EQ(written, 32u);
  EXPECT_EQ(Bytes(frame, 0, 9 + 32), std::string(word) + "MAC00:11:22:33:44:55LI=10.0.0.1\n");
  EXPECT_TRUE(AllZero(frame, 9 + 32));
}

INSTANTIATE_TEST_SUITE_P(Words, EveryCommandWord,
                         ::testing::Values(FrameCase{kCmdDiscover, kFrameLength},
                                           FrameCase{kCmdFindByMac, kFrameLength},
                                           FrameCase{kCmdPasswordConfirm, kPwconfirmFrameLength},
                                           FrameCase{kCmdAddressSet, kFrameLength},
                                           FrameCase{kCmdDynamicSet, kFrameLength},
                                           FrameCase{kCmdVideoSet, kFrameLength},
                                           FrameCase{kCmdFarewell, kFrameLength}),
                         [](const auto& p) { return std::string(p.param.word); });

TEST(CommandFrame, PayloadThatWouldRunPastTheFrameIsCutAtItsEnd) {
  // A canary behind the 60-byte frame shows whether anything was written past it.
  std::array<uint8_t, kPwconfirmFrameLength + 8> storage{};
  storage.fill(0x5A);
  std::span<uint8_t> frame(storage.data(), kPwconfirmFrameLength);
  const std::string long_text(80, 'x');
  const size_t written = BuildFrame(frame, kCmdPasswordConfirm, {"MAC", long_text});
  EXPECT_EQ(written, kPwconfirmFrameLength - 9);
  EXPECT_EQ(Bytes(frame, 9, 3), "MAC");
  EXPECT_EQ(frame.back(), 'x');
  for (size_t i = kPwconfirmFrameLength; i < storage.size(); ++i) EXPECT_EQ(storage[i], 0x5A);
}

}  // namespace
}  // namespace ardvix::protocol
