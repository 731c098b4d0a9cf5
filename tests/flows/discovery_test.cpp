#include <string>
#include <vector>

#include "main_window_fixture.h"
#include "support/announcement.h"

namespace ardvix::testing {
namespace {

using headless::HeadlessWindow;
using namespace window;

constexpr const char* kLocal = "LI=192.168.0.10\n";

class DiscoveryTest : public MainWindowTest {
 protected:
  // The port the discovery channel sent "cryptomac" from.
  uint16_t DiscoveryPort() const {
    for (const auto& d : env.network.sent()) {
      if (std::string(d.bytes.begin(), d.bytes.begin() + 9) == "cryptomac") return d.local_port;
    }
    return 0;
  }
  void Answer(const FakeDevice& d, const std::string& from, const std::string& echo = kLocal) {
    env.network.Deliver(DiscoveryPort(), Announcement(d, echo), from, 7005);
    env.backend.Pump();
  }
};

TEST_F(DiscoveryTest, IpFindFlushesArpThenBroadcastsTheLocalAddressText) {
  RunWindow([&](HeadlessWindow& w) {
    w.Click(IDC_IP_FIND);
    EXPECT_EQ(env.shell.commands(), std::vector<std::string>{"ip neigh flush all"});
    EXPECT_EQ(w.GetText(IDC_STATUS), "Broadcasting .....");
    EXPECT_FALSE(w.IsControlEnabled(IDC_IP_FIND));
    EXPECT_EQ(w.TimerPeriod(TIMER_DISCOVERY), 10000);
    w.Click(IDOK_EXIT);
  });
  const auto sent = env.network.sent();
  ASSERT_GE(sent.size(), 1u);
  std::vector<uint8_t> expected(300, 0);
  const std::string head = std::string("cryptomac") + kLocal;
  std::copy(head.begin(), head.end(), expected.begin());
  EXPECT_EQ(sent[0].bytes, expected);
  EXPECT_EQ(sent[0].address, "255.255.255.255");
  EXPECT_EQ(sent[0].port, 7005);
}

TEST_F(DiscoveryTest, NothingAnswersForTenSecondsThenBroadcastingStops) {
  RunWindow([&](HeadlessWindow& w) {
    w.Click(IDC_IP_FIND);
    const uint16_t port = DiscoveryPort();
    env.backend.AdvanceTime(9999);
    EXPECT_EQ(w.GetText(IDC_STATUS), "Broadcasting .....");
    env.backend.AdvanceTime(1);
    EXPECT_EQ(w.GetText(IDC_STATUS), "Broadcasting STOP");
    EXPECT_TRUE(w.IsControlEnabled(IDC_IP_FIND));
    EXPECT_FALSE(env.network.IsPortOpen(port));
    EXPECT_FALSE(w.TimerRunning(TIMER_DISCOVERY));
    w.Click(IDOK_EXIT);
  });
}

TEST_F(DiscoveryTest, AnnouncementsBecomeRowsOnePerMacWithThePauseOnlyOnce) {
  RunWindow([&](HeadlessWindow& w) {
    w.Click(IDC_IP_FIND);
    FakeDevice cam;
    cam.mac = "00:aa:bb:cc:dd:01";
    Answer(cam, "192.168.0.21");
    EXPECT_EQ(env.clock.sleeps(), std::vector<uint32_t>{5000});
    ASSERT_EQ(w.RowCount(IDC_DEVICE_LIST), 1);
    const std::vector<std::string> row = {"192.168.0.21",
                                          "00:aa:bb:cc:dd:01",
                                          "192.168.0.1",
                                          "255.255.255.0",
                                          "static",
                                          "admin",
                                          "80"};
    for (int col = 0; col < 7; ++col) EXPECT_EQ(w.CellText(IDC_DEVICE_LIST, 0, col), row[col]);
    EXPECT_TRUE(w.IsControlEnabled(IDC_IP_FIND));
    EXPECT_FALSE(w.TimerRunning(TIMER_DISCOVERY));

    // The same MAC in other letter case, from another address: nothing changes.
    FakeDevice again = cam;
    again.mac = "00:AA:BB:CC:DD:01";
    again.boot_proto = "dhcp";
    Answer(again, "192.168.0.99");
    EXPECT_EQ(w.RowCount(IDC_DEVICE_LIST), 1);
    EXPECT_EQ(w.CellText(IDC_DEVICE_LIST, 0, 0), "192.168.0.21");

    FakeDevice second;
    second.mac = "00:aa:bb:cc:dd:02";
    second.boot_proto = "dhcp";
    second.web_port = "";
    Answer(second, "192.168.0.22");
    ASSERT_EQ(w.RowCount(IDC_DEVICE_LIST), 2);
    EXPECT_EQ(w.CellText(IDC_DEVICE_LIST, 1, 6), "Upgrade");

    // A later broadcast empties the list and has no pause.
    w.Click(IDC_IP_FIND);
    EXPECT_EQ(w.RowCount(IDC_DEVICE_LIST), 0);
    Answer(cam, "192.168.0.21");
    EXPECT_EQ(w.RowCount(IDC_DEVICE_LIST), 1);
    EXPECT_EQ(env.clock.sleeps().size(), 1u);
    EXPECT_EQ(w.LineCount(IDC_LOG), 8);  // datagram text and source, per accepted answer
    w.Click(IDOK_EXIT);
  });
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(DiscoveryTest, ForeignFirstDatagramCancelsTheTimerAndEnablesIpChange) {
  RunWindow([&](HeadlessWindow& w) {
    w.Click(IDC_IP_FIND);
    Answer(FakeDevice{}, "192.168.0.21", "LI=192.168.0.77\n");
    EXPECT_FALSE(w.TimerRunning(TIMER_DISCOVERY));
    EXPECT_TRUE(w.IsControlEnabled(IDC_IP_CHANGE));
    EXPECT_FALSE(w.IsControlEnabled(IDC_IP_FIND));
    EXPECT_EQ(w.RowCount(IDC_DEVICE_LIST), 0);
    EXPECT_TRUE(env.network.IsPortOpen(DiscoveryPort()));
    env.backend.AdvanceTime(20000);
    EXPECT_EQ(w.GetText(IDC_STATUS), "Broadcasting .....");
    w.Click(IDOK_EXIT);
  });
  EXPECT_EQ(Boxes(), std::vector<std::string>{"It's not a Brocasting return Socket.. "});
}

TEST_F(DiscoveryTest, OtherBootProtocolsAreShownAndNotListed) {
  RunWindow([&](HeadlessWindow& w) {
    w.Click(IDC_IP_FIND);
    FakeDevice upper;
    upper.boot_proto = "DHCP";
    Answer(upper, "192.168.0.21");
    FakeDevice empty;
    empty.mac = "00:11:22:33:44:66";
    empty.boot_proto = "";
    Answer(empty, "192.168.0.22");
    EXPECT_EQ(w.RowCount(IDC_DEVICE_LIST), 0);
    EXPECT_TRUE(w.IsControlEnabled(IDC_IP_FIND));
    w.Click(IDOK_EXIT);
  });
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"DHCP", ""}));
  EXPECT_EQ(env.clock.sleeps(), std::vector<uint32_t>{5000});
}

TEST_F(DiscoveryTest, FailedReceiveClosesTheChannelAndLetsTheOperatorStartAgain) {
  RunWindow([&](HeadlessWindow& w) {
    w.Click(IDC_IP_FIND);
    const uint16_t first_port = DiscoveryPort();
    env.network.DeliverError(first_port, platform::ReceiveError::kTruncated, 90);
    env.backend.Pump();
    EXPECT_FALSE(env.network.IsPortOpen(first_port));
    EXPECT_TRUE(w.IsControlEnabled(IDC_IP_FIND));
    env.network.ClearSent();
    w.Click(IDC_IP_FIND);
    EXPECT_NE(DiscoveryPort(), first_port);
    w.Click(IDOK_EXIT);
  });
  EXPECT_EQ(Boxes(), (std::vector<std::string>{
                         "Socket error when receiving packets.. restart broadcasting~!",
                         "The datagram was too large and was truncated"}));
}

TEST_F(DiscoveryTest, WithoutALocalAddressIpFindOnlyFlushesArpAndSaysSo) {
  env.host.SetUnresolvable("fieldlaptop");
  RunWindow([&](HeadlessWindow& w) {
    w.Click(IDC_IP_FIND);
    EXPECT_EQ(env.shell.commands(), std::vector<std::string>{"ip neigh flush all"});
    EXPECT_EQ(w.GetText(IDC_STATUS), "Broadcasting standby.....");
    EXPECT_TRUE(w.IsControlEnabled(IDC_IP_FIND));
    EXPECT_TRUE(env.network.sent().empty());
    w.PressEscape();
  });
  EXPECT_EQ(Boxes(), std::vector<std::string>{
                         "네트워크 설정을 확인 하십시요. 설치된 PC에 IP가 할당되지 않았습니다."});
}

TEST_F(DiscoveryTest, FarewellGoesOutOnTheOpenDiscoverySocket) {
  RunWindow([&](HeadlessWindow& w) {
    w.Click(IDC_IP_FIND);
    w.PressEscape();
  });
  const auto sent = env.network.sent();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(std::string(sent[1].bytes.begin(), sent[1].bytes.begin() + 9), "destroyee");
  EXPECT_EQ(sent[1].local_port, sent[0].local_port);
}

}  // namespace
}  // namespace ardvix::testing
