#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "nettools/local_address.h"
#include "platform/headless/fake_host_info.h"
#include "support/recording_output.h"

namespace ardvix::nettools {
namespace {

constexpr uint32_t Ip(int a, int b, int c, int d) {
  return (uint32_t(a) << 24) | (uint32_t(b) << 16) | (uint32_t(c) << 8) | uint32_t(d);
}

platform::InterfaceInfo Iface(const char* name, uint32_t address, uint32_t mask,
                              bool loopback = false) {
  platform::InterfaceInfo i;
  i.name = name;
  i.address = address;
  i.netmask = mask;
  i.up = true;
  i.loopback = loopback;
  i.broadcast = !loopback;
  return i;
}

// Each test runs in a directory of its own: the report file lands in the current directory.
class DetectLocalAddressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("ardvix-local-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    host_.SetHostName("fieldlaptop");
    host_.SetInterfaces({Iface("lo", Ip(127, 0, 0, 1), Ip(255, 0, 0, 0), true),
                         Iface("eth0", Ip(192, 168, 0, 10), Ip(255, 255, 255, 0))});
  }
  void TearDown() override {
    std::filesystem::current_path(old_);
    std::filesystem::remove_all(dir_);
  }
  int Detect() { return DetectLocalAddress(host_, out_, text_); }
  std::string Text() const { return text_.data(); }

  std::filesystem::path dir_, old_;
  headless::FakeHostInfo host_;
  testing::RecordingOutput out_;
  std::array<char, 20> text_{};
};

TEST_F(DetectLocalAddressTest, FirstResolvedAddressBecomesTheText) {
  host_.SetResolution("fieldlaptop", {Ip(192, 168, 0, 10), Ip(10, 1, 1, 1)});
  EXPECT_EQ(Detect(), 1);
  EXPECT_EQ(Text(), "LI=192.168.0.10\n");
  EXPECT_EQ(std::strlen(text_.data()), 16u);
  EXPECT_TRUE(out_.events.empty());
}

TEST_F(DetectLocalAddressTest, LoopbackFirstResolutionTakesTheFirstRealAddress) {
  host_.SetResolution("fieldlaptop", {Ip(127, 0, 1, 1), Ip(10, 20, 30, 40)});
  EXPECT_EQ(Detect(), 1);
  EXPECT_EQ(Text(), "LI=10.20.30.40\n");
}

TEST_F(DetectLocalAddressTest, LoopbackOnlyResolutionFallsBackToTheFirstBroadcastInterface) {
  host_.SetResolution("fieldlaptop", {Ip(127, 0, 1, 1)});
  EXPECT_EQ(Detect(), 1);
  EXPECT_EQ(Text(), "LI=192.168.0.10\n");
}

TEST_F(DetectLocalAddressTest, LoopbackOnlyAndNoOtherInterfaceFailsWithoutMessage) {
  host_.SetInterfaces({Iface("lo", Ip(127, 0, 0, 1), Ip(255, 0, 0, 0), true)});
  host_.SetResolution("fieldlaptop", {Ip(127, 0, 1, 1)});
  EXPECT_EQ(Detect(), 0);
  EXPECT_EQ(Text(), "");
  EXPECT_TRUE(out_.events.empty());
}

TEST_F(DetectLocalAddressTest, UnresolvableOrMissingHostNameFailsWithoutMessage) {
  host_.SetUnresolvable("fieldlaptop");
  EXPECT_EQ(Detect(), 0);
  host_.SetHostName(std::nullopt);
  EXPECT_EQ(Detect(), 0);
  EXPECT_EQ(Text(), "");
  EXPECT_TRUE(out_.events.empty());
}

TEST_F(DetectLocalAddressTest, MaskBeyondTheFirst400BytesIsNotSeen) {
  std::vector<platform::InterfaceInfo> many;
  for (int i = 0; i < 6; ++i) many.push_back(Iface("tun-unmasked", Ip(10, 0, 0, i + 1), 0));
  many.push_back(Iface("eth0", Ip(192, 168, 0, 10), Ip(255, 255, 255, 0)));
  host_.SetInterfaces(many);
  host_.SetResolution("fieldlaptop", {Ip(192, 168, 0, 10)});
  EXPECT_EQ(Detect(), 0);
  EXPECT_EQ(out_.events, std::vector<std::string>{"box:No Search IP Find"});
  EXPECT_EQ(Text(), "");
  // The report is left in the working directory, whole.
  std::ifstream report(kReportFile);
  std::stringstream content;
  content << report.rdbuf();
  EXPECT_GT(content.str().find("255.255.255.0"), kReportBytesExamined);
}

TEST_F(DetectLocalAddressTest, A255InsideAnAddressPassesTheCheck) {
  host_.SetInterfaces({Iface("eth0", Ip(10, 255, 1, 2), Ip(254, 0, 0, 0))});
  host_.SetResolution("fieldlaptop", {Ip(10, 255, 1, 2)});
  EXPECT_EQ(Detect(), 1);
  EXPECT_EQ(Text(), "LI=10.255.1.2\n");
}

TEST_F(DetectLocalAddressTest, ReportIsReplacedAtEveryStart) {
  { std::ofstream(kReportFile) << std::string(2000, '#'); }
  host_.SetResolution("fieldlaptop", {Ip(192, 168, 0, 10)});
  EXPECT_EQ(Detect(), 1);
  std::ifstream report(kReportFile);
  std::stringstream content;
  content << report.rdbuf();
  EXPECT_EQ(content.str().find('#'), std::string::npos);
}

}  // namespace
}  // namespace ardvix::nettools
