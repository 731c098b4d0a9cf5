#include <string>
#include <vector>

#include "main_window_fixture.h"
#include "window/templates/find_ip_template.h"

namespace ardvix::testing {
namespace {

using headless::HeadlessWindow;
using namespace window;

std::vector<uint8_t> IpadrfindFrame() {
  std::vector<uint8_t> frame(300, 0);
  const std::string word = "ipadrfind";
  std::copy(word.begin(), word.end(), frame.begin());
  return frame;
}

class FindIpTest : public MainWindowTest {
 protected:
  // Opens the dialog from the main window with `script` driving it.
  void FindCam(HeadlessWindow& w, std::function<void(HeadlessWindow&)> script) {
    env.backend.SetModalScript(IDD_FINDIP_DIALOG, std::move(script));
    w.SendCommand(IDC_FIND_CAM);
  }
};

TEST_F(FindIpTest, ClosingWithoutSendOpensNoSocket) {
  RunWindow([&](HeadlessWindow& w) {
    std::string status_while_open;
    FindCam(w, [&](HeadlessWindow& d) {
      status_while_open = w.GetText(IDC_STATUS);
      EXPECT_EQ(d.tmpl().caption, "Find IP");
      EXPECT_EQ(d.parent(), &w);
      EXPECT_FALSE(w.TakesInput());
      d.Click(platform::kIdCancel);
    });
    EXPECT_EQ(status_while_open, "Find IP.....");
    EXPECT_EQ(w.GetText(IDC_STATUS), "Find IP.....");
    EXPECT_TRUE(env.network.sent().empty());
    EXPECT_TRUE(env.network.opened_ports().empty());
    w.Click(IDOK_EXIT);
  });
}

// Whatever the MAC boxes hold, the request is the command word alone.
TEST_F(FindIpTest, SendTwiceBroadcastsTheSameFrameFromOneSocket) {
  RunWindow([&](HeadlessWindow& w) {
    uint16_t dialog_port = 0;
    FindCam(w, [&](HeadlessWindow& d) {
      d.Click(IDC_FIND_SEND);
      for (size_t i = 0; i < 6; ++i) d.TypeText(kMacGroupIds[i], "a" + std::to_string(i));
      d.PressEnter();  // "Send" is the default button
      dialog_port = env.network.sent().at(0).local_port;
      EXPECT_TRUE(env.network.IsPortOpen(dialog_port));
      d.Click(platform::kIdCancel);
    });
    const auto sent = env.network.sent();
    ASSERT_EQ(sent.size(), 2u);
    for (const auto& d : sent) {
      EXPECT_EQ(d.bytes, IpadrfindFrame());
      EXPECT_EQ(d.address, "255.255.255.255");
      EXPECT_EQ(d.port, 7005);
      EXPECT_TRUE(d.broadcast_on);
      EXPECT_EQ(d.local_port, dialog_port);
    }
    // The dialog's channel goes with the dialog.
    EXPECT_FALSE(env.network.IsPortOpen(dialog_port));
    w.Click(IDOK_EXIT);
  });
}

TEST_F(FindIpTest, MacGroupsTakeTwoCapitalsEach) {
  RunWindow([&](HeadlessWindow& w) {
    FindCam(w, [&](HeadlessWindow& d) {
      for (int id : kMacGroupIds) {
        EXPECT_EQ(d.GetText(id), "");
        d.TypeText(id, "abc");
        EXPECT_EQ(d.GetText(id), "AB") << id;
      }
      d.Click(platform::kIdCancel);
    });
    w.Click(IDOK_EXIT);
  });
}

// The dialog has no use for answers, but reads each one so that it does not stay waiting on
// the socket; the address field is never written.
TEST_F(FindIpTest, AnswersAreReadAndLeaveTheFoundFieldEmpty) {
  RunWindow([&](HeadlessWindow& w) {
    FindCam(w, [&](HeadlessWindow& d) {
      d.Click(IDC_FIND_SEND);
      const uint16_t port = env.network.sent().at(0).local_port;
      std::vector<uint8_t> answer(300, 0);
      answer[99] = 0xFF;
      for (int i = 0; i < 3; ++i) env.network.Deliver(port, answer, "10.1.1.21", 7005);
      env.backend.Pump();
      EXPECT_EQ(env.network.Waiting(port), 0u);
      EXPECT_FALSE(env.backend.pump_limit_hit());
      EXPECT_EQ(d.GetIpAddress(IDC_FOUND_IP).filled, 0);
      d.Click(platform::kIdCancel);
    });
    EXPECT_EQ(w.RowCount(IDC_DEVICE_LIST), 0);
    w.Click(IDOK_EXIT);
  });
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
}  // namespace ardvix::testing
