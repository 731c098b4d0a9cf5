#include "config/password_confirmation.h"

#include "window/control_ids.h"

namespace ardvix::config {

using namespace window;  // control ids

namespace {
constexpr const char* kInputPassword = "Input Password ~!";
constexpr const char* kWrongPassword = "잘못된 암호 입니다.  확인 후 재 접속 하십시요~!";
constexpr const char* kServerProblem = "Server에 이상이 있습니다. 확인 하십시요~!";
}  // namespace

std::array<uint8_t, protocol::kPwconfirmFrameLength> BuildPasswordConfirm(
    const std::string& mac, const std::string& id, const std::string& password) {
  std::array<uint8_t, protocol::kPwconfirmFrameLength> frame{};
  const std::string authentication = id + "=" + password + "=";
  protocol::BuildFrame(frame, protocol::kCmdPasswordConfirm, {"MAC", mac, authentication});
  return frame;
}

void PasswordConfirmation::OnIpChange() {
  c_.shell->Run(platform::kArpFlushCommand);
  c_.out->SetStatus("IP Address Changing.....");
  const std::string password = c_.window->GetText(IDC_PASSWORD);
  // An unanswered request never blocks a new one: its socket goes, and with it any late
  // answer to it.
  if (awaiting()) c_.auth_channel->Close();

  const bool initial_state = c_.device.web_port() == "one";
  if (password.empty() && !initial_state) {
    c_.out->ShowMessage(kInputPassword);
    c_.out->SetStatus("IP Address Change Fail");
    return;
  }
  if (initial_state && *c_.device.address_mode == 1) {
    change_.StartAddressProbe();
    c_.list->DeleteAllRows();
  } else {
    const auto frame = BuildPasswordConfirm(*c_.device.mac, *c_.device.id, password);
    c_.auth_channel->SendCommand(frame);
  }
  c_.window->EnableControl(IDC_IP_CHANGE, false);
}

void PasswordConfirmation::OnAuthOk() {
  change_.StartAddressProbe();
  c_.auth_channel->Close();
}

void PasswordConfirmation::OnAuthFail() {
  c_.window->EnableControl(IDC_IP_CHANGE, true);
  c_.out->ShowMessage(kWrongPassword);
  c_.out->SetStatus("Password Incorrect~!");
  c_.auth_channel->Close();
}

void PasswordConfirmation::OnAuthError() {
  c_.window->EnableControl(IDC_IP_CHANGE, true);
  c_.out->ShowMessage(kServerProblem);
  c_.auth_channel->Close();
}

}  // namespace ardvix::config
