#include "config/video_settings.h"

#include "protocol/answer_datagram.h"
#include "protocol/command_datagram.h"
#include "protocol/failed_receive.h"
#include "window/control_ids.h"

namespace ardvix::config {

using window::IDC_PASSWORD;
using window::IDC_VIDEO_SET;

namespace {
constexpr const char* kFrameRateValues[kFrameRateItems] = {"256192", "192144"};
constexpr const char* kKeyFrameValues[kKeyFrameItems] = {"1", "2", "3", "4", "5"};
constexpr const char* kQualityValues[kQualityItems] = {"300", "200", "100"};

constexpr const char* kInputPassword = "Input Password ~!";
constexpr const char* kInitialState = "초기 설정 상태입니다. IP 설정 후에 변경 하십시요";
constexpr const char* kChangeFail = "Video Setting Change Fail";
constexpr const char* kNotForThisPc = "It's not a Brocasting return Socket.. Passing..";
constexpr std::string_view kGap("\0\0\0", 3);  // between the local address and the login

const char* AnswerText(uint8_t code) {
  switch (code) {
    case protocol::kCodeDynamicOrVideoDone:
      return "Camera changed Video Set";
    case protocol::kCodeWrongPassword:
      return "Password Incorrect~!";
    default:
      return "알수 없는 오류 발생";
  }
}
}  // namespace

std::array<std::string, 3> VideoValueTexts(const VideoSelection& s) {
  return {kFrameRateValues[s.frame_rate], kKeyFrameValues[s.key_frame], kQualityValues[s.quality]};
}

void BuildVideoSetFrame(std::span<uint8_t> frame, std::string_view mac,
                        std::string_view settings_text, std::string_view local_text,
                        std::string_view id, std::string_view password) {
  const std::string authentication = std::string(id) + "=" + std::string(password) + "=";
  protocol::BuildFrame(frame, protocol::kCmdVideoSet,
                       {"MAC", mac, settings_text, local_text, kGap, authentication});
}

void VideoSettings::OnVideoSet() {
  CVideoSetDlg dialog;
  if (dialog.DoModal(ui_, c_.window) != platform::kIdOk) return;
  selection_ = dialog.selection();
  value_texts_ = VideoValueTexts(selection_);

  // Checked only now, so the operator has chosen the settings before being told.
  const std::string password = c_.window->GetText(IDC_PASSWORD);
  const bool initial_state = c_.device.web_port() == "one";
  if (password.empty() && !initial_state) {
    c_.out->ShowMessage(kInputPassword);
    c_.out->SetStatus(kChangeFail);
    return;
  }
  if (initial_state) {
    c_.out->ShowMessage(kInitialState);
    c_.out->SetStatus(kChangeFail);
    return;
  }
  c_.out->SetStatus("Video Setting .....");
  c_.receive_buffer->fill(0);
  const std::string settings_text = value_texts_[0] + value_texts_[1] + value_texts_[2];
  BuildVideoSetFrame(*c_.send_buffer, *c_.device.mac, settings_text, c_.local_text(), *c_.device.id,
                     password);
  channel_.SendCommand(*c_.send_buffer);
  c_.window->EnableControl(IDC_VIDEO_SET, false);
}

void VideoSettings::OnVideoSetReceive() {
  c_.receive_buffer->fill(0);
  c_.send_buffer->fill(0);
  const platform::ReceiveResult r = channel_.Receive(*c_.receive_buffer);
  if (!r.ok()) {
    protocol::HandleFailedReceive(r, *c_.receive_buffer, protocol::VideoSetReceiveMessages(),
                                  channel_, *c_.out);
    return;
  }
  const auto code =
      protocol::MatchAnswer(*c_.receive_buffer, c_.local_text(),
                            {protocol::kCodeDynamicOrVideoDone, protocol::kCodeWrongPassword,
                             protocol::kCodeDeviceError});
  if (!code) {
    // Another PC's answer, or one this command does not know: the next command gets a new
    // socket, but this one still hears a late answer meanwhile.
    c_.window->EnableControl(IDC_VIDEO_SET, true);
    channel_.MarkNeedsCreate();
    c_.out->ShowMessage(kNotForThisPc);
    return;
  }
  channel_.Close();
  c_.window->EnableControl(IDC_VIDEO_SET, true);
  c_.out->SetStatus(AnswerText(*code));
  c_.out->ShowMessage(AnswerText(*code));
}

}  // namespace ardvix::config
