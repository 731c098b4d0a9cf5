#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "main_window_fixture.h"
#include "platform/dialog_template.h"

namespace ardvix::testing {
namespace {

using headless::HeadlessWindow;
using namespace window;

TEST_F(MainWindowTest, OpensReadyWithEveryControlInItsInitialState) {
  RunWindow([&](HeadlessWindow& w) {
    EXPECT_EQ(w.GetText(IDC_STATUS), "Broadcasting standby.....");
    EXPECT_EQ(w.RowCount(IDC_DEVICE_LIST), 0);
    const std::vector<std::pair<std::string, int>> columns = {
        {"IP Address", 90}, {"MAC Address", 90}, {" Gateway", 90}, {" Subnet Mask", 90},
        {"Bootproto", 70},  {"ID", 90},          {"WebPort", 90}};
    EXPECT_EQ(w.Columns(IDC_DEVICE_LIST), columns);
    EXPECT_TRUE(w.FullRowSelect(IDC_DEVICE_LIST));
    EXPECT_TRUE(w.GridLines(IDC_DEVICE_LIST));

    for (int id : {IDC_PING, IDC_IP_CHANGE, IDC_STATIC_IP, IDC_DYNAMIC_IP, IDC_MAC, IDC_ID}) {
      EXPECT_FALSE(w.IsControlEnabled(id)) << id;
    }
    for (int id : {IDOK_EXIT, IDC_IP_FIND, IDC_LIST_CLEAR, IDC_DEVICE_LIST, IDC_IP_ADDRESS,
                   IDC_GATEWAY, IDC_SUBNET_MASK, IDC_PASSWORD}) {
      EXPECT_TRUE(w.IsControlEnabled(id) && w.IsControlVisible(id)) << id;
    }
    for (int id : {IDC_LOG, IDC_BROADCAST_OFF, IDC_VIDEO_SET, IDC_SAVE, IDC_FIND_CAM, IDC_HELP}) {
      EXPECT_FALSE(w.IsControlVisible(id)) << id;
      EXPECT_FALSE(w.Click(id)) << id;
    }
    for (int id : {IDC_MAC, IDC_ID, IDC_PASSWORD}) EXPECT_EQ(w.GetText(id), "") << id;
    for (int id : {IDC_IP_ADDRESS, IDC_GATEWAY, IDC_SUBNET_MASK}) {
      EXPECT_EQ(w.GetIpAddress(id).filled, 0) << id;
    }
    EXPECT_FALSE(w.GetCheck(IDC_STATIC_IP));
    EXPECT_FALSE(w.GetCheck(IDC_DYNAMIC_IP));
    EXPECT_EQ(w.FocusedControl(), IDOK_EXIT);
    EXPECT_NE(w.Icon(), nullptr);

    // The password box refuses an eleventh character.
    EXPECT_TRUE(w.TypeText(IDC_PASSWORD, "12345678901"));
    EXPECT_EQ(w.GetText(IDC_PASSWORD), "1234567890");
    w.Click(IDOK_EXIT);
  });
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(MainWindowTest, StoresTheLocalAddressTextAndItsLength) {
  std::string text;
  int length = -1;
  RunWindow([&](HeadlessWindow& w) {
    text = std::string(dlg().local_address().view());
    length = dlg().local_address().length;
    w.Click(IDOK_EXIT);
  });
  EXPECT_EQ(text, "LI=192.168.0.10\n");
  EXPECT_EQ(length, 16);
}

struct LogCase {
  int appended;
  int lines;
  std::string last_text;  // the box's whole text when it holds one line
};

class LogBoxLines : public MainWindowTest, public ::testing::WithParamInterface<LogCase> {};

TEST_P(LogBoxLines, BoxEmptiesItselfOnceItHoldsMoreThan50Lines) {
  const LogCase c = GetParam();
  RunWindow([&](HeadlessWindow& w) {
    for (int i = 1; i <= c.appended; ++i) dlg().AppendLine("line " + std::to_string(i));
    EXPECT_EQ(w.LineCount(IDC_LOG), c.lines);
    if (!c.last_text.empty()) {
      EXPECT_EQ(w.GetText(IDC_LOG), c.last_text);
    }
    EXPECT_TRUE(w.ScrolledToEnd(IDC_LOG));
    w.Click(IDOK_EXIT);
  });
}

INSTANTIATE_TEST_SUITE_P(Counts, LogBoxLines,
                         ::testing::Values(LogCase{1, 1, "line 1"}, LogCase{2, 2, ""},
                                           LogCase{50, 50, ""}, LogCase{51, 51, ""},
                                           LogCase{52, 1, "line 52"}),
                         [](const auto& p) { return "Append" + std::to_string(p.param.appended); });

TEST_F(MainWindowTest, LinesAreJoinedWithCrLfAndTheFirstHasNoneInFront) {
  RunWindow([&](HeadlessWindow& w) {
    dlg().AppendLine("first");
    dlg().AppendLine("second");
    EXPECT_EQ(w.GetText(IDC_LOG), "first\r\nsecond");
    w.Click(IDOK_EXIT);
  });
}

std::vector<uint8_t> Farewell(const std::string& local_text) {
  std::vector<uint8_t> frame(300, 0);
  const std::string head = "destroyee" + local_text;
  std::copy(head.begin(), head.end(), frame.begin());
  return frame;
}

struct CloseCase {
  const char* name;
  std::function<bool(HeadlessWindow&)> close;
  size_t datagrams;
};

class ClosingTheWindow : public MainWindowTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(ClosingTheWindow, BroadcastsTheFarewellOncePerClosingStep) {
  RunWindow([&](HeadlessWindow& w) { ASSERT_TRUE(GetParam().close(w)); });
  const auto sent = env.network.sent();
  ASSERT_EQ(sent.size(), GetParam().datagrams);
  for (const auto& d : sent) {
    EXPECT_EQ(d.bytes, Farewell("LI=192.168.0.10\n"));
    EXPECT_EQ(d.address, "255.255.255.255");
    EXPECT_EQ(d.port, 7005);
    EXPECT_EQ(d.broadcast_on, 1);
    EXPECT_EQ(d.local_port, sent[0].local_port);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ways, ClosingTheWindow,
    ::testing::Values(CloseCase{"ExitButton", [](HeadlessWindow& w) { return w.Click(IDOK_EXIT); },
                                2},
                      CloseCase{"EnterKey", [](HeadlessWindow& w) { return w.PressEnter(); }, 2},
                      CloseCase{"Escape", [](HeadlessWindow& w) { return w.PressEscape(); }, 1},
                      CloseCase{"CloseBox", [](HeadlessWindow& w) { return w.CloseBox(); }, 1}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(MainWindowTest, WithoutALocalAddressTheFarewellCarriesOnlyTheWord) {
  env.host.SetUnresolvable("fieldlaptop");
  RunWindow([&](HeadlessWindow& w) { w.Click(IDOK_EXIT); });
  const auto sent = env.network.sent();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].bytes, Farewell(""));
  EXPECT_TRUE(Boxes().empty());  // an unresolvable host name is not reported at start-up
}

TEST_F(MainWindowTest, NoMaskInTheReportIsReportedAtStartUp) {
  env.host.SetInterfaces({});
  RunWindow([&](HeadlessWindow& w) {
    EXPECT_EQ(w.GetText(IDC_STATUS), "Broadcasting standby.....");
    w.Click(IDOK_EXIT);
  });
  EXPECT_EQ(Boxes(), std::vector<std::string>{"No Search IP Find"});
}

}  // namespace
}  // namespace ardvix::testing
