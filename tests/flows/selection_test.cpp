#include <string>
#include <vector>

#include "main_window_fixture.h"
#include "support/announcement.h"

namespace ardvix::testing {
namespace {

using headless::HeadlessWindow;
using namespace window;

constexpr int kDeviceCommands[] = {IDC_PING, IDC_IP_CHANGE, IDC_VIDEO_SET, IDC_STATIC_IP,
                                   IDC_DYNAMIC_IP};

std::string Dotted(const platform::IpAddressParts& p) {
  return std::to_string(p.part[0]) + "." + std::to_string(p.part[1]) + "." +
         std::to_string(p.part[2]) + "." + std::to_string(p.part[3]);
}

// Lists three devices: a static one, a dhcp one and one in its initial state ("one").
class SelectionTest : public MainWindowTest {
 protected:
  void ListDevices(HeadlessWindow& w) {
    FindDevices(
        w,
        {{{"00:11:22:33:44:01", "10.1.1.254", "255.255.0.0", "static", "cam1", "80"}, "10.1.1.21"},
         {{"00:11:22:33:44:02", "10.1.1.254", "255.255.0.0", "dhcp", "cam2", "8080"}, "10.1.1.22"},
         {{"00:11:22:33:44:03", "10.1.1.254", "255.255.0.0", "static", "cam3", "one"},
          "10.1.1.23"}});
  }
};

TEST_F(SelectionTest, DoubleClickOnAStaticRowFillsTheFormsAndEnablesTheCommands) {
  RunWindow([&](HeadlessWindow& w) {
    ListDevices(w);
    w.DoubleClickList(IDC_DEVICE_LIST, 0);
    EXPECT_TRUE(w.GetCheck(IDC_STATIC_IP));
    EXPECT_FALSE(w.GetCheck(IDC_DYNAMIC_IP));
    EXPECT_EQ(Dotted(w.GetIpAddress(IDC_IP_ADDRESS)), "10.1.1.21");
    EXPECT_EQ(Dotted(w.GetIpAddress(IDC_GATEWAY)), "10.1.1.254");
    EXPECT_EQ(Dotted(w.GetIpAddress(IDC_SUBNET_MASK)), "255.255.0.0");
    for (int id : {IDC_IP_ADDRESS, IDC_GATEWAY, IDC_SUBNET_MASK, IDC_PASSWORD}) {
      EXPECT_TRUE(w.IsControlEnabled(id)) << id;
    }
    EXPECT_EQ(w.GetText(IDC_MAC), "00:11:22:33:44:01");
    EXPECT_EQ(w.GetText(IDC_ID), "cam1");
    for (int id : kDeviceCommands) EXPECT_TRUE(w.IsControlEnabled(id)) << id;
    EXPECT_EQ(dlg().mac(), "00:11:22:33:44:01");
    EXPECT_EQ(dlg().id(), "cam1");

    // A single click disables the commands and leaves the forms as they are.
    w.ClickList(IDC_DEVICE_LIST);
    for (int id : kDeviceCommands) EXPECT_FALSE(w.IsControlEnabled(id)) << id;
    EXPECT_EQ(w.GetText(IDC_MAC), "00:11:22:33:44:01");
    EXPECT_EQ(Dotted(w.GetIpAddress(IDC_IP_ADDRESS)), "10.1.1.21");
    w.Click(IDOK_EXIT);
  });
}

TEST_F(SelectionTest, DhcpRowChecksDynamicButLeavesTheAddressModeAlone) {
  RunWindow([&](HeadlessWindow& w) {
    ListDevices(w);
    w.DoubleClickList(IDC_DEVICE_LIST, 1);
    EXPECT_TRUE(w.GetCheck(IDC_DYNAMIC_IP));
    EXPECT_FALSE(w.GetCheck(IDC_STATIC_IP));
    for (int id : {IDC_IP_ADDRESS, IDC_GATEWAY, IDC_SUBNET_MASK}) {
      EXPECT_FALSE(w.IsControlEnabled(id)) << id;
    }
    EXPECT_EQ(Dotted(w.GetIpAddress(IDC_IP_ADDRESS)), "10.1.1.22");
    EXPECT_EQ(dlg().address_mode(), 1);

    w.Click(IDC_DYNAMIC_IP);
    EXPECT_EQ(dlg().address_mode(), 0);
    w.Click(IDC_STATIC_IP);
    EXPECT_EQ(dlg().address_mode(), 1);
    EXPECT_TRUE(w.IsControlEnabled(IDC_IP_ADDRESS));
    EXPECT_FALSE(w.GetCheck(IDC_DYNAMIC_IP));
    w.Click(IDOK_EXIT);
  });
}

TEST_F(SelectionTest, DeviceInItsInitialStateDisablesThePasswordBox) {
  RunWindow([&](HeadlessWindow& w) {
    ListDevices(w);
    w.DoubleClickList(IDC_DEVICE_LIST, 2);
    EXPECT_FALSE(w.IsControlEnabled(IDC_PASSWORD));
    w.DoubleClickList(IDC_DEVICE_LIST, 0);
    EXPECT_TRUE(w.IsControlEnabled(IDC_PASSWORD));
    w.Click(IDOK_EXIT);
  });
}

TEST_F(SelectionTest, DoubleClickOnTheEmptyAreaAsksAgainAndLoadsEmptyTexts) {
  RunWindow([&](HeadlessWindow& w) {
    ListDevices(w);
    w.DoubleClickList(IDC_DEVICE_LIST, 0);
    w.DoubleClickList(IDC_DEVICE_LIST, -1);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"다시 선택하십시요"});
    EXPECT_EQ(w.GetText(IDC_MAC), "");
    EXPECT_EQ(w.GetText(IDC_ID), "");
    for (int id : {IDC_IP_ADDRESS, IDC_GATEWAY, IDC_SUBNET_MASK}) {
      EXPECT_EQ(w.GetIpAddress(id).filled, 4) << id;
      EXPECT_EQ(Dotted(w.GetIpAddress(id)), "0.0.0.0") << id;
    }
    EXPECT_TRUE(w.GetCheck(IDC_STATIC_IP));  // the check marks stay
    for (int id : kDeviceCommands) EXPECT_TRUE(w.IsControlEnabled(id)) << id;
    EXPECT_TRUE(w.IsControlEnabled(IDC_PASSWORD));
    w.Click(IDOK_EXIT);
  });
}

TEST_F(SelectionTest, ListClearKeepsTheLoadedDeviceAndTheCommands) {
  RunWindow([&](HeadlessWindow& w) {
    ListDevices(w);
    w.DoubleClickList(IDC_DEVICE_LIST, 0);
    w.Click(IDC_LIST_CLEAR);
    EXPECT_EQ(w.RowCount(IDC_DEVICE_LIST), 0);
    EXPECT_EQ(w.GetText(IDC_MAC), "00:11:22:33:44:01");
    EXPECT_TRUE(w.IsControlEnabled(IDC_IP_CHANGE));
    // The cleared devices can be listed again.
    const uint16_t port = env.network.sent().back().local_port;
    FakeDevice fixed{"00:11:22:33:44:01", "10.1.1.254", "255.255.0.0", "static", "cam1", "80"};
    env.network.Deliver(port, Announcement(fixed, "LI=192.168.0.10\n"), "10.1.1.21", 7005);
    env.backend.Pump();
    EXPECT_EQ(w.RowCount(IDC_DEVICE_LIST), 1);
    w.Click(IDOK_EXIT);
  });
}

}  // namespace
}  // namespace ardvix::testing
