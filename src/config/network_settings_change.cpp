#include "config/network_settings_change.h"

#include <cstdio>

#include "protocol/answer_datagram.h"
#include "protocol/failed_receive.h"
#include "window/control_ids.h"

namespace ardvix::config {

using namespace window;  // control and timer ids

namespace {
constexpr const char* kSelectAddress = "IP Address를 선택해 주십시오";
constexpr const char* kIncorrectConfiguration = "Incorrect network configuration";
constexpr const char* kNoMac = "Server select Incorrect~!";
constexpr const char* kInvalidAddress = "Input Invalid address.~!";
constexpr const char* kOccupied = "Input address is occupied Please check it again. ~!";
constexpr const char* kNoOutcome = "There's something wrong in Server.~!";
constexpr const char* kNotForThisPc = "It's not a Brocasting return Socket.. ";

std::string Dotted(const platform::IpAddressParts& p) {
  char text[16];
  std::snprintf(text, sizeof text, "%d.%d.%d.%d", p.part[0], p.part[1], p.part[2], p.part[3]);
  return text;
}
}  // namespace

std::string AddressLine(const char* label, const platform::IpAddressParts& parts) {
  return std::string(label) + " " + Dotted(parts) + "\n";
}

void NetworkSettingsChange::StartAddressProbe() {
  if (ping_running_) {
    OnProbeDone();
    return;
  }
  const platform::IpAddressParts address = c_.window->GetIpAddress(IDC_IP_ADDRESS);
  if (address.filled == 0) {
    c_.out->ShowMessage(kSelectAddress);
    return;
  }
  c_.device.save_data_exchange();
  StartPing(Dotted(address));
}

void NetworkSettingsChange::StartPing(const std::string& target) {
  c_.pinger->StartJob(kProbeCount, target, c_.self);
  c_.window->SetTimer(TIMER_PING, TIMER_PING_MS);
  ping_running_ = 1;
}

bool NetworkSettingsChange::BuildAddressSet() {
  static constexpr struct {
    int control;
    const char* label;
  } kFields[] = {
      {IDC_IP_ADDRESS, "address"}, {IDC_GATEWAY, "gateway"}, {IDC_SUBNET_MASK, "netmask"}};
  std::string lines;
  for (const auto& field : kFields) {
    const platform::IpAddressParts parts = c_.window->GetIpAddress(field.control);
    if (parts.filled != 4 || parts.part[0] == 0) {
      c_.out->ShowMessage(kIncorrectConfiguration);
      return false;
    }
    lines += AddressLine(field.label, parts);
  }
  protocol::BuildFrame(*c_.send_buffer, protocol::kCmdAddressSet,
                       {"MAC", *c_.device.mac, lines, c_.local_text()});
  return true;
}

void NetworkSettingsChange::BuildDynamicSet() {
  protocol::BuildFrame(*c_.send_buffer, protocol::kCmdDynamicSet,
                       {"MAC", *c_.device.mac, c_.local_text()});
}

void NetworkSettingsChange::SendCommand() {
  c_.shell->Run(platform::kArpFlushCommand);
  c_.ip_change_channel->SendCommand(*c_.send_buffer);
}

void NetworkSettingsChange::OnProbeDone() {
  ping_running_ = 0;
  c_.window->KillTimer(TIMER_PING);
  c_.send_buffer->fill(0);
  c_.ip_change_channel->OpenIfNeeded();

  // The outcome is taken now: the boxes below run nested loops.
  const int reply = reply_flag_, timeout = timeout_flag_, nohost = nohost_flag_;
  reply_flag_ = timeout_flag_ = nohost_flag_ = 0;

  if (*c_.device.address_mode == 0) {
    BuildDynamicSet();
    SendCommand();
    return;
  }
  if (!BuildAddressSet()) return;
  const auto refuse = [&](const char* text) {
    c_.window->EnableControl(IDC_IP_CHANGE, true);
    c_.out->ShowMessage(text);
    c_.out->SetStatus(text);
  };
  // Only real answers count as replies, so one answered request means the address is in
  // use, even when the other timed out.
  if (reply) {
    refuse(kOccupied);
  } else if (timeout) {
    if (c_.device.mac->empty()) {
      c_.out->ShowMessage(kNoMac);
    } else {
      SendCommand();
    }
    c_.window->EnableControl(IDC_PASSWORD, true);
  } else if (nohost) {
    refuse(kInvalidAddress);
  } else {
    refuse(kNoOutcome);
  }
}

void NetworkSettingsChange::OnIpChangeReceive() {
  c_.receive_buffer->fill(0);
  c_.send_buffer->fill(0);
  const platform::ReceiveResult r = c_.ip_change_channel->Receive(*c_.receive_buffer);
  if (!r.ok()) {
    protocol::HandleFailedReceive(r, *c_.receive_buffer, protocol::IpChangeReceiveMessages(),
                                  *c_.ip_change_channel, *c_.out);
    return;
  }
  const auto code =
      protocol::MatchAnswer(*c_.receive_buffer, c_.local_text(),
                            {protocol::kCodeAddressSet, protocol::kCodeDynamicOrVideoDone});
  if (!code) {
    c_.window->EnableControl(IDC_IP_CHANGE, true);
    c_.ip_change_channel->MarkNeedsCreate();
    c_.out->ShowMessage(kNotForThisPc);
    return;
  }
  c_.ip_change_channel->Close();
  c_.window->EnableControl(IDC_IP_CHANGE, true);
  c_.list->DeleteAllRows();
  for (int id : {IDC_IP_ADDRESS, IDC_GATEWAY, IDC_SUBNET_MASK})
    c_.window->SetIpAddress(id, 0, 0, 0, 0);
  c_.device.mac->clear();
  c_.device.id->clear();
  c_.device.password->clear();
  c_.discovery->StopBroadcast();
  c_.discovery->StartBroadcast();
  const bool address_set = *code == protocol::kCodeAddressSet;
  c_.out->SetStatus(address_set ? "Server changed network configuration"
                                : "Camera changed Dynamic");
  c_.out->ShowMessage(address_set ? "Camera changed IP Address" : "Server changed Dynamic set");
}

}  // namespace ardvix::config
