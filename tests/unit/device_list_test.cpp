// DeviceList on a headless window: finding rows by text in any column, and the MAC index
// staying in step with the rows.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "discovery/device_list.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/virtual_clock.h"
#include "window/control_ids.h"
#include "window/templates/main_window_template.h"

namespace ardvix::discovery {
namespace {

struct NoEvents : platform::WindowEvents {
  void OnCommand(int) override {}
};

protocol::DeviceRecord Device(const std::string& mac, const std::string& id) {
  protocol::DeviceRecord r;
  r.ipAddress = "10.0.0.1";
  r.macAddress = mac;
  r.gateway = "10.0.0.254";
  r.subnetMask = "255.255.255.0";
  r.bootProto = "static";
  r.id = id;
  r.webPort = "80";
  return r;
}

class DeviceListTest : public ::testing::Test {
 protected:
  DeviceListTest() {
    for (int c = 0; c < 7; ++c) window_->InsertColumn(window::IDC_DEVICE_LIST, c, "c", 50);
    list_.AddDeviceRow(Device("00:1a:2b:3c:4d:01", "admin"));
    list_.AddDeviceRow(Device("00:1a:2b:3c:4d:02", "abcdefghijklmnopqrstu"));  // ID of 21
    list_.AddDeviceRow(Device("00:1a:2b:3c:4d:03", "Admin"));
  }
  headless::VirtualClock clock_;
  headless::HeadlessBackend backend_{clock_};
  NoEvents events_;
  std::unique_ptr<platform::Window> window_ =
      backend_.CreateDialogWindow(window::MainWindowTemplate(), events_, nullptr);
  DeviceList list_{*window_, window::IDC_DEVICE_LIST};
};

struct FindCase {
  const char* name;
  int column;
  const char* text;
  int row;
};

class FindRowByTextTest : public DeviceListTest, public ::testing::WithParamInterface<FindCase> {};

TEST_P(FindRowByTextTest, GivesTheFirstRowWhoseFirst17CharactersMatchIgnoringCase) {
  const FindCase& c = GetParam();
  EXPECT_EQ(list_.FindRowByText(c.column, c.text), c.row);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindRowByTextTest,
    ::testing::Values(FindCase{"MacInOtherCase", 1, "00:1A:2B:3C:4D:03", 2},
                      FindCase{"MacNotListed", 1, "00:1a:2b:3c:4d:04", -1},
                      FindCase{"MacWithMoreThan17Characters", 1, "00:1a:2b:3c:4d:01x", -1},
                      FindCase{"MacShorterThanTheCell", 1, "00:1a:2b:3c:4d:0", -1},
                      FindCase{"FirstOfEqualRowsInOtherColumn", 5, "ADMIN", 0},
                      FindCase{"LongCellComparedOnItsFirst17", 5, "ABCDEFGHIJKLMNOPQ", 1},
                      FindCase{"LongTextNeverMatchesACutCell", 5, "abcdefghijklmnopqr", -1},
                      FindCase{"EqualTextsInEveryRowGiveTheFirst", 3, "255.255.255.0", 0},
                      FindCase{"EmptyTextMatchesNoFilledCell", 5, "", -1}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(DeviceListTest, ListedMacInOtherCaseAddsNothingAndChangesNothing) {
  protocol::DeviceRecord again = Device("00:1A:2B:3C:4D:02", "other");
  again.ipAddress = "10.0.0.99";
  list_.AddDeviceRow(again);
  EXPECT_EQ(list_.RowCount(), 3);
  EXPECT_EQ(list_.RowTexts(1)[0], "10.0.0.1");
  EXPECT_EQ(list_.RowTexts(1)[5], "abcdefghijklmnopqrstu");
}

TEST_F(DeviceListTest, EmptiedListForgetsEveryMac) {
  list_.DeleteAllRows();
  EXPECT_EQ(list_.RowCount(), 0);
  EXPECT_EQ(list_.FindRowByText(1, "00:1a:2b:3c:4d:01"), -1);
  list_.AddDeviceRow(Device("00:1a:2b:3c:4d:03", "x"));
  EXPECT_EQ(list_.FindRowByText(1, "00:1a:2b:3c:4d:03"), 0);
  EXPECT_EQ(list_.RowCount(), 1);
}

TEST_F(DeviceListTest, RowTextsOfNoRowAreEmpty) {
  for (const int row : {-1, 3}) {
    for (const auto& text : list_.RowTexts(row)) EXPECT_TRUE(text.empty());
  }
}

}  // namespace
}  // namespace ardvix::discovery
