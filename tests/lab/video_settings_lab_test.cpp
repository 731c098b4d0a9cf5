// "videosetc" from the main window, on the headless backend with real sockets, to a simulated
// camera of the demo segment (scripts/lab.sh, tools/camsim/demo-devices.txt). Root only.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "window/control_ids.h"
#include "window_lab_support.h"

namespace ardvix::testing {
namespace {

using namespace window;

constexpr char kCameraMac[] = "00:1A:2B:3C:4D:01";  // admin / 1234 in the demo file

class VideoSettingsLabTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string reason = LabUnavailableReason();
    if (!reason.empty()) GTEST_SKIP() << reason;
    ASSERT_TRUE(lab_.Up(""));
  }

  // Lists the demo cameras, selects kCameraMac, types password and sends the first video
  // settings; gives the status line and the message boxes, one per line.
  std::string SendVideoSet(const std::string& password) {
    return lab_.RunInPc(40, [&] {
      PcWindow pc(platform::PosixUdpSocket::kReceiveBufferBytes);
      std::string report;
      pc.Run([&](headless::HeadlessWindow& w, CFinderDlg& dlg) {
        w.Click(IDC_IP_FIND);
        pc.LoopUntil([&] { return w.RowCount(IDC_DEVICE_LIST) >= 3; }, 15000);
        const int row = dlg.device_list().FindRowByText(1, kCameraMac);
        if (row < 0) {
          report = "error: the camera was not listed";
          w.Click(IDOK_EXIT);
          return;
        }
        w.DoubleClickList(IDC_DEVICE_LIST, row);
        w.TypeText(IDC_PASSWORD, password);
        pc.backend.SetModalScript(IDD_VIDEOSET_DIALOG,
                                  [](headless::HeadlessWindow& d) { d.Click(platform::kIdOk); });
        const size_t boxes_before = pc.backend.message_boxes().size();
        w.SendCommand(IDC_VIDEO_SET);
        pc.LoopUntil([&] { return pc.backend.message_boxes().size() > boxes_before; }, 5000);
        report = w.GetText(IDC_STATUS);
        for (const auto& box : pc.backend.message_boxes()) report += "\n" + box;
        w.Click(IDOK_EXIT);
      });
      return report;
    });
  }

  WindowLab lab_;
};

TEST_F(VideoSettingsLabTest, CameraAppliesTheSettingsAndTheWindowSaysSo) {
  EXPECT_EQ(SendVideoSet("1234"), "Camera changed Video Set\nCamera changed Video Set");
}

TEST_F(VideoSettingsLabTest, WrongPasswordIsReported) {
  EXPECT_EQ(SendVideoSet("9999"), "Password Incorrect~!\nPassword Incorrect~!");
}

}  // namespace
}  // namespace ardvix::testing
