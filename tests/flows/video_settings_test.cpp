#include <string>
#include <vector>

#include "main_window_fixture.h"
#include "support/announcement.h"
#include "window/templates/video_set_template.h"

namespace ardvix::testing {
namespace {

using headless::HeadlessWindow;
using namespace window;

constexpr const char* kLocal = "LI=192.168.0.10\n";
constexpr const char* kOtherPc = "LI=192.168.0.11\n";

// Lists a device with a web port and one in its initial state, and loads one of them.
class VideoSettingsTest : public MainWindowTest {
 protected:
  void ListAndSelect(HeadlessWindow& w, int row) {
    FindDevices(w, {{{"00:11:22:33:44:01", "10.1.1.254", "255.255.0.0", "static", "cam1", "80"},
                     "10.1.1.21"},
                    {{"00:11:22:33:44:02", "10.1.1.254", "255.255.0.0", "static", "cam2", "one"},
                     "10.1.1.22"}});
    SelectRow(w, row);
  }
  // The dialog chooses these positions, then closes with Send (or Cancel).
  void ScriptDialog(int frame, int key, int quality, bool send = true) {
    env.backend.SetModalScript(IDD_VIDEOSET_DIALOG, [=](HeadlessWindow& d) {
      d.ChooseItem(IDC_FRAME_RATE, frame);
      d.ChooseItem(IDC_KEY_FRAME_RATE, key);
      d.ChooseItem(IDC_QUALITY, quality);
      d.Click(send ? platform::kIdOk : platform::kIdCancel);
    });
  }
  std::vector<headless::SentDatagram> VideoFrames() const {
    std::vector<headless::SentDatagram> out;
    for (const auto& d : env.network.sent()) {
      if (std::string(d.bytes.begin(), d.bytes.begin() + 9) == "videosetc") out.push_back(d);
    }
    return out;
  }
  // Password typed, settings chosen and sent: the command waits for its answer.
  uint16_t SendVideoSet(HeadlessWindow& w) {
    ListAndSelect(w, 0);
    w.TypeText(IDC_PASSWORD, "pw");
    ScriptDialog(0, 0, 0);
    w.SendCommand(IDC_VIDEO_SET);
    return VideoFrames().at(0).local_port;
  }
};

std::vector<uint8_t> Frame(const std::string& content) {
  std::vector<uint8_t> frame(300, 0);
  std::copy(content.begin(), content.end(), frame.begin());
  return frame;
}

TEST_F(VideoSettingsTest, SendBroadcastsTheChosenSettingsWithLoginAndPassword) {
  RunWindow([&](HeadlessWindow& w) {
    ListAndSelect(w, 0);
    w.TypeText(IDC_PASSWORD, "secret");
    ScriptDialog(1, 2, 2);
    w.SendCommand(IDC_VIDEO_SET);
    const auto frames = VideoFrames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].bytes, Frame("videosetcMAC00:11:22:33:44:01"
                                     "192144"
                                     "3"
                                     "100" +
                                     std::string(kLocal) + std::string(3, '\0') + "cam1=secret="));
    EXPECT_EQ(frames[0].address, "255.255.255.255");
    EXPECT_EQ(frames[0].port, 7005);
    EXPECT_TRUE(frames[0].broadcast_on);
    EXPECT_EQ(w.GetText(IDC_STATUS), "Video Setting .....");
    EXPECT_FALSE(w.IsControlEnabled(IDC_VIDEO_SET));
    EXPECT_TRUE(env.shell.commands().empty());
    EXPECT_EQ(dlg().video_settings().value_texts(),
              (std::array<std::string, 3>{"192144", "3", "100"}));
    w.Click(IDOK_EXIT);
  });
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(VideoSettingsTest, DialogOpensOnTheFirstItemsWhateverWasSentBefore) {
  std::vector<std::vector<int>> selected_on_open;
  RunWindow([&](HeadlessWindow& w) {
    ListAndSelect(w, 0);
    w.TypeText(IDC_PASSWORD, "pw");
    for (int round = 0; round < 2; ++round) {
      env.backend.SetModalScript(IDD_VIDEOSET_DIALOG, [&](HeadlessWindow& d) {
        selected_on_open.push_back({d.SelectedItem(IDC_FRAME_RATE),
                                    d.SelectedItem(IDC_KEY_FRAME_RATE),
                                    d.SelectedItem(IDC_QUALITY)});
        EXPECT_EQ(d.Items(IDC_FRAME_RATE), (std::vector<std::string>{"고화질", "고속화면"}));
        EXPECT_EQ(d.Items(IDC_KEY_FRAME_RATE), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
        EXPECT_EQ(d.Items(IDC_QUALITY),
                  (std::vector<std::string>{"300 Kbps(권장)", "200 Kbps", "100 Kbps"}));
        d.ChooseItem(IDC_FRAME_RATE, 1);
        d.ChooseItem(IDC_KEY_FRAME_RATE, 4);
        d.ChooseItem(IDC_QUALITY, 1);
        d.Click(platform::kIdOk);
      });
      w.SendCommand(IDC_VIDEO_SET);
    }
    // The second send carries the second choice, not the first items.
    const std::vector<uint8_t> second = VideoFrames().at(1).bytes;
    EXPECT_EQ(std::string(second.begin() + 29, second.begin() + 39), "1921445200");
    w.Click(IDOK_EXIT);
  });
  EXPECT_EQ(selected_on_open, (std::vector<std::vector<int>>{{0, 0, 0}, {0, 0, 0}}));
}

TEST_F(VideoSettingsTest, CancelSendsNothingAndKeepsTheLastChoice) {
  RunWindow([&](HeadlessWindow& w) {
    ListAndSelect(w, 0);
    w.TypeText(IDC_PASSWORD, "pw");
    ScriptDialog(1, 1, 1);
    w.SendCommand(IDC_VIDEO_SET);
    const auto sent_values = dlg().video_settings().value_texts();
    env.network.ClearSent();
    w.SetText(IDC_STATUS, "before");
    const bool button_enabled = w.IsControlEnabled(IDC_VIDEO_SET);

    ScriptDialog(0, 4, 2, /*send=*/false);
    w.SendCommand(IDC_VIDEO_SET);
    EXPECT_TRUE(env.network.sent().empty());
    EXPECT_EQ(w.GetText(IDC_STATUS), "before");
    EXPECT_EQ(w.IsControlEnabled(IDC_VIDEO_SET), button_enabled);
    EXPECT_EQ(dlg().video_settings().value_texts(), sent_values);
    w.Click(IDOK_EXIT);
  });
  EXPECT_TRUE(Boxes().empty());
}

struct RefusalCase {
  const char* name;
  int row;
  std::string password;
  std::string box;
};

class VideoSetRefusal : public VideoSettingsTest,
                        public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(VideoSetRefusal, IsToldAfterTheDialogAndNothingIsSent) {
  const RefusalCase& c = GetParam();
  bool dialog_ran = false;
  RunWindow([&](HeadlessWindow& w) {
    ListAndSelect(w, c.row);
    w.TypeText(IDC_PASSWORD, c.password);
    env.backend.SetModalScript(IDD_VIDEOSET_DIALOG, [&](HeadlessWindow& d) {
      dialog_ran = Boxes().empty();  // nothing said before the choice
      d.Click(platform::kIdOk);
    });
    w.SendCommand(IDC_VIDEO_SET);
    EXPECT_TRUE(env.network.sent().empty());
    EXPECT_EQ(w.GetText(IDC_STATUS), "Video Setting Change Fail");
    EXPECT_TRUE(w.IsControlEnabled(IDC_VIDEO_SET));
    w.Click(IDOK_EXIT);
  });
  EXPECT_TRUE(dialog_ran);
  EXPECT_EQ(Boxes(), std::vector<std::string>{c.box});
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, VideoSetRefusal,
    ::testing::Values(RefusalCase{"EmptyPassword", 0, "", "Input Password ~!"},
                      RefusalCase{"InitialStateWithPassword", 1, "pw",
                                  "초기 설정 상태입니다. IP 설정 후에 변경 하십시요"},
                      RefusalCase{"InitialStateWithoutPassword", 1, "",
                                  "초기 설정 상태입니다. IP 설정 후에 변경 하십시요"}),
    [](const auto& p) { return std::string(p.param.name); });

struct AnswerCase {
  const char* name;
  uint8_t code;
  std::string text;
};

class VideoSetAnswer : public VideoSettingsTest,
                       public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(VideoSetAnswer, AnswerForThisPcClosesTheChannelAndSaysSo) {
  const AnswerCase& c = GetParam();
  std::vector<std::string> status_during_box;
  RunWindow([&](HeadlessWindow& w) {
    const uint16_t port = SendVideoSet(w);
    env.backend.on_message_box = [&](const std::string&) {
      status_during_box.push_back(w.GetText(IDC_STATUS));
    };
    env.network.Deliver(port, AnswerDatagram(c.code, kLocal), "10.1.1.21", 7005);
    env.backend.Pump();
    EXPECT_FALSE(env.network.IsPortOpen(port));
    EXPECT_TRUE(w.IsControlEnabled(IDC_VIDEO_SET));
    env.backend.on_message_box = nullptr;
    w.Click(IDOK_EXIT);
  });
  EXPECT_EQ(Boxes(), std::vector<std::string>{c.text});
  EXPECT_EQ(status_during_box, std::vector<std::string>{c.text});
}

INSTANTIATE_TEST_SUITE_P(Codes, VideoSetAnswer,
                         ::testing::Values(AnswerCase{"Applied", 0xFC, "Camera changed Video Set"},
                                           AnswerCase{"WrongPassword", 0xFD,
                                                      "Password Incorrect~!"},
                                           AnswerCase{"DeviceError", 0xFE, "알수 없는 오류 발생"}),
                         [](const auto& p) { return std::string(p.param.name); });

struct ForeignCase {
  const char* name;
  uint8_t code;
  std::string echo;
};

class ForeignVideoAnswer : public VideoSettingsTest,
                           public ::testing::WithParamInterface<ForeignCase> {};

TEST_P(ForeignVideoAnswer, IsPassedOverAndTheNextCommandGetsANewSocket) {
  const ForeignCase& c = GetParam();
  RunWindow([&](HeadlessWindow& w) {
    const uint16_t port = SendVideoSet(w);
    env.network.Deliver(port, AnswerDatagram(c.code, c.echo), "10.1.1.21", 7005);
    env.backend.Pump();
    EXPECT_TRUE(w.IsControlEnabled(IDC_VIDEO_SET));
    EXPECT_TRUE(env.network.IsPortOpen(port));
    EXPECT_EQ(w.GetText(IDC_STATUS), "Video Setting .....");

    env.network.ClearSent();
    ScriptDialog(0, 0, 0);
    w.SendCommand(IDC_VIDEO_SET);
    EXPECT_NE(VideoFrames().at(0).local_port, port);
    EXPECT_FALSE(env.network.IsPortOpen(port));
    w.Click(IDOK_EXIT);
  });
  EXPECT_EQ(Boxes(), std::vector<std::string>{"It's not a Brocasting return Socket.. Passing.."});
}

INSTANTIATE_TEST_SUITE_P(Answers, ForeignVideoAnswer,
                         ::testing::Values(ForeignCase{"KnownCodeForAnotherPc", 0xFC, kOtherPc},
                                           ForeignCase{"AddressSetCode", 0xFA, kLocal},
                                           ForeignCase{"Announcement", 0xFF, kLocal}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(VideoSettingsTest, LateAnswerAfterAForeignOneIsStillHandled) {
  RunWindow([&](HeadlessWindow& w) {
    const uint16_t port = SendVideoSet(w);
    env.network.Deliver(port, AnswerDatagram(0xFC, kOtherPc), "10.1.1.30", 7005);
    env.network.Deliver(port, AnswerDatagram(0xFC, kLocal), "10.1.1.21", 7005);
    env.backend.Pump();
    EXPECT_EQ(w.GetText(IDC_STATUS), "Camera changed Video Set");
    EXPECT_FALSE(env.network.IsPortOpen(port));
    w.Click(IDOK_EXIT);
  });
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"It's not a Brocasting return Socket.. Passing..",
                                               "Camera changed Video Set"}));
}

TEST_F(VideoSettingsTest, FailedReceiveClosesTheChannelAndLeavesTheButtonDisabled) {
  RunWindow([&](HeadlessWindow& w) {
    const uint16_t port = SendVideoSet(w);
    env.network.DeliverError(port, platform::ReceiveError::kOther, 104);
    env.backend.Pump();
    EXPECT_FALSE(env.network.IsPortOpen(port));
    EXPECT_FALSE(w.IsControlEnabled(IDC_VIDEO_SET));
    w.Click(IDOK_EXIT);
  });
  EXPECT_EQ(Boxes(),
            (std::vector<std::string>{
                "Chandge Voideo set Socket error when receiving packets.. restart broadcasting~!",
                "OnVideoSet error: 104"}));
}

}  // namespace
}  // namespace ardvix::testing
