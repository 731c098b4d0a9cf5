#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "main_window_fixture.h"
#include "support/announcement.h"

namespace ardvix::testing {
namespace {

using headless::HeadlessWindow;
using namespace window;

constexpr const char* kLocal = "LI=192.168.0.10\n";
const std::string kNothingToSave = "저장할 내용이 없습니다.";

// Runs each test in a fresh current directory, where the Save command writes cam.lst.
class SaveListTest : public MainWindowTest {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ardvix-save-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    old_dir_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    env.clock.SetLocalTime({2011, 3, 2, 9, 5, 30});
  }
  void TearDown() override {
    std::filesystem::current_path(old_dir_);
    std::filesystem::remove_all(dir_);
  }
  // Lists the devices in this order through discovery.
  void List(HeadlessWindow& w, const std::vector<std::pair<FakeDevice, std::string>>& devices) {
    w.Click(IDC_IP_FIND);
    const uint16_t port = env.network.sent().back().local_port;
    for (const auto& [device, address] : devices) {
      env.network.Deliver(port, Announcement(device, kLocal), address, 7005);
    }
    env.backend.Pump();
  }
  static std::string CamLst() {
    std::ifstream in("cam.lst", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static std::string Line(const std::string& text) {
    std::string line = text;
    line.resize(96, '\0');
    return line + "\r\n";
  }

  std::filesystem::path dir_, old_dir_;
};

const std::string kStamp =
    "2011\xB3\xE2_03\xBF\xF9"
    "02\xC0\xCF_09\xBD\xC3"
    "05\xBA\xD0";

TEST_F(SaveListTest, AppendsOneLinePerRowInListOrder) {
  RunWindow([&](HeadlessWindow& w) {
    List(w, {{{"00:1A:2B:3C:4D:5E", "192.168.0.1", "255.255.255.0", "static", "admin", "80"},
              "192.168.0.100"},
             {{"00:1A:2B:3C:4D:01", "10.0.0.1", "255.0.0.0", "dhcp", "cam", "one"}, "10.0.0.7"},
             {{"00:1A:2B:3C:4D:02", "172.16.0.1", "255.255.0.0", "static", "x", "8080"},
              "172.16.5.5"}});
    ASSERT_EQ(w.RowCount(IDC_DEVICE_LIST), 3);
    w.SendCommand(IDC_SAVE);
    w.Click(IDOK_EXIT);
  });
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(CamLst(),
            Line(kStamp + "=192.168.0.100=00:1A:2B:3C:4D:5E=192.168.0.1=255.255.255.0=static") +
                Line(kStamp + "=10.0.0.7=00:1A:2B:3C:4D:01=10.0.0.1=255.0.0.0=dhcp") +
                Line(kStamp + "=172.16.5.5=00:1A:2B:3C:4D:02=172.16.0.1=255.255.0.0=static"));
}

TEST_F(SaveListTest, SecondSaveAppendsAndLeavesEarlierLinesAlone) {
  RunWindow([&](HeadlessWindow& w) {
    List(w, {{FakeDevice{}, "192.168.0.20"}});
    w.SendCommand(IDC_SAVE);
    env.clock.SetLocalTime({2011, 3, 2, 9, 6, 0});
    w.SendCommand(IDC_SAVE);
    w.Click(IDOK_EXIT);
  });
  const std::string fields = "=192.168.0.20=00:11:22:33:44:55=192.168.0.1=255.255.255.0=static";
  const std::string later =
      "2011\xB3\xE2_03\xBF\xF9"
      "02\xC0\xCF_09\xBD\xC3"
      "06\xBA\xD0";
  EXPECT_EQ(CamLst(), Line(kStamp + fields) + Line(later + fields));
}

struct EmptyCase {
  const char* name;
  bool file_exists;
};

class SaveEmptyList : public SaveListTest, public ::testing::WithParamInterface<EmptyCase> {};

TEST_P(SaveEmptyList, SaysSoAndWritesNothing) {
  const std::string before = "earlier line";
  if (GetParam().file_exists) std::ofstream("cam.lst", std::ios::binary) << before;
  RunWindow([&](HeadlessWindow& w) {
    w.SendCommand(IDC_SAVE);
    w.Click(IDOK_EXIT);
  });
  EXPECT_EQ(Boxes(), std::vector<std::string>{kNothingToSave});
  ASSERT_TRUE(std::filesystem::is_regular_file("cam.lst"));
  EXPECT_EQ(CamLst(), GetParam().file_exists ? before : "");
}

INSTANTIATE_TEST_SUITE_P(Files, SaveEmptyList,
                         ::testing::Values(EmptyCase{"NoFile", false},
                                           EmptyCase{"FileThere", true}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(SaveListTest, DirectoryNamedCamLstIsReported) {
  std::filesystem::create_directory("cam.lst");
  RunWindow([&](HeadlessWindow& w) {
    List(w, {{FakeDevice{}, "192.168.0.20"}});
    w.SendCommand(IDC_SAVE);
    w.Click(IDOK_EXIT);
  });
  EXPECT_EQ(Boxes(), std::vector<std::string>{"cam.lst could not be opened: Is a directory"});
}

TEST_F(SaveListTest, FullDeviceIsReported) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  std::filesystem::create_symlink("/dev/full", "cam.lst");
  RunWindow([&](HeadlessWindow& w) {
    List(w, {{FakeDevice{}, "192.168.0.20"}});
    w.SendCommand(IDC_SAVE);
    w.Click(IDOK_EXIT);
  });
  EXPECT_EQ(Boxes(),
            std::vector<std::string>{"cam.lst could not be written: No space left on device"});
}

}  // namespace
}  // namespace ardvix::testing
