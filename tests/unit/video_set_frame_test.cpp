#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "config/video_settings.h"

namespace ardvix::config {
namespace {

struct FrameCase {
  const char* name;
  std::string mac;
  VideoSelection selection;
  std::string local_text;
  std::string id;
  std::string password;
  std::string expected;  // the frame up to its zero filler
};

class VideoSetFrame : public ::testing::TestWithParam<FrameCase> {};

TEST_P(VideoSetFrame, IsLaidOutByteForByte) {
  const FrameCase& c = GetParam();
  std::array<uint8_t, 300> frame;
  frame.fill(0xAA);  // what an earlier command left
  const auto values = VideoValueTexts(c.selection);
  BuildVideoSetFrame(frame, c.mac, values[0] + values[1] + values[2], c.local_text, c.id,
                     c.password);
  std::vector<uint8_t> expected(300, 0);
  std::copy(c.expected.begin(), c.expected.end(), expected.begin());
  EXPECT_EQ(std::vector<uint8_t>(frame.begin(), frame.end()), expected);
}

const std::string kZeros(3, '\0');

INSTANTIATE_TEST_SUITE_P(Frames, VideoSetFrame,
                         ::testing::Values(FrameCase{"FirstItems",
                                                     "00:11:22:33:44:55",
                                                     {0, 0, 0},
                                                     "LI=192.168.0.10\n",
                                                     "admin",
                                                     "1234",
                                                     "videosetcMAC00:11:22:33:44:55"
                                                     "256192"
                                                     "1"
                                                     "300"
                                                     "LI=192.168.0.10\n" +
                                                         kZeros + "admin=1234="},
                                           FrameCase{"LastItems",
                                                     "00:11:22:33:44:55",
                                                     {1, 4, 2},
                                                     "LI=10.0.0.1\n",
                                                     "id",
                                                     "pw",
                                                     "videosetcMAC00:11:22:33:44:55"
                                                     "192144"
                                                     "5"
                                                     "100"
                                                     "LI=10.0.0.1\n" +
                                                         kZeros + "id=pw="},
                                           FrameCase{"NoLocalAddress",
                                                     "00:11:22:33:44:55",
                                                     {1, 2, 1},
                                                     "",
                                                     "admin",
                                                     "1234",
                                                     "videosetcMAC00:11:22:33:44:55"
                                                     "192144"
                                                     "3"
                                                     "200" +
                                                         kZeros + "admin=1234="},
                                           FrameCase{"EmptyMacAndLogin",
                                                     "",
                                                     {0, 1, 0},
                                                     "LI=192.168.0.10\n",
                                                     "",
                                                     "",
                                                     "videosetcMAC"
                                                     "256192"
                                                     "2"
                                                     "300"
                                                     "LI=192.168.0.10\n" +
                                                         kZeros + "=="}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(VideoValueTexts, EveryChoiceGivesATenByteSettingsText) {
  for (int f = 0; f < kFrameRateItems; ++f) {
    for (int k = 0; k < kKeyFrameItems; ++k) {
      for (int q = 0; q < kQualityItems; ++q) {
        const auto v = VideoValueTexts({f, k, q});
        EXPECT_EQ((v[0] + v[1] + v[2]).size(), 10u) << f << k << q;
        EXPECT_EQ(v[1], std::to_string(k + 1));
      }
    }
  }
}

}  // namespace
}  // namespace ardvix::config
