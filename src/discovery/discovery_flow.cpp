#include "discovery/discovery_flow.h"

#include <algorithm>

#include "protocol/answer_datagram.h"
#include "protocol/failed_receive.h"
#include "window/control_ids.h"

namespace ardvix::discovery {

using namespace window;  // control and timer ids

namespace {
constexpr const char* kNoLocalAddress =
    "네트워크 설정을 확인 하십시요. 설치된 PC에 IP가 할당되지 않았습니다.";
constexpr const char* kNotForThisPc = "It's not a Brocasting return Socket.. ";
}  // namespace

void DiscoveryFlow::StartBroadcast() {
  c_.shell->Run(platform::kArpFlushCommand);
  const std::string_view local_text = c_.local_text();
  if (local_text.empty()) {
    c_.out->ShowMessage(kNoLocalAddress);
    return;
  }
  c_.list->DeleteAllRows();
  c_.window->EnableControl(IDC_IP_FIND, false);
  c_.out->SetStatus("Broadcasting .....");
  protocol::BuildFrame(*c_.send_buffer, protocol::kCmdDiscover, {local_text});
  c_.channel->SendCommand(*c_.send_buffer);
  c_.window->SetTimer(TIMER_DISCOVERY, TIMER_DISCOVERY_MS);
}

void DiscoveryFlow::StopBroadcast() {
  c_.channel->Close();
  c_.out->SetStatus("Broadcasting STOP");
  c_.window->EnableControl(IDC_IP_FIND, true);
}

void DiscoveryFlow::OnDiscoveryTimer() {
  StopBroadcast();
  c_.window->KillTimer(TIMER_DISCOVERY);
}

void DiscoveryFlow::OnBroadcastReceive() {
  c_.window->KillTimer(TIMER_DISCOVERY);
  c_.receive_buffer->fill(0);
  const platform::ReceiveResult r = c_.channel->Receive(*c_.receive_buffer);
  if (!r.ok()) {
    protocol::HandleFailedReceive(r, *c_.receive_buffer, protocol::DiscoveryReceiveMessages(),
                                  *c_.channel, *c_.out);
    // The operator is asked to restart broadcasting: let them.
    c_.window->EnableControl(IDC_IP_FIND, true);
    return;
  }
  if (!protocol::MatchAnswer(*c_.receive_buffer, c_.local_text(), {protocol::kCodeAnnouncement})) {
    c_.window->EnableControl(IDC_IP_CHANGE, true);
    c_.out->ShowMessage(kNotForThisPc);
    return;
  }
  // Everything is taken from the shared buffer before anything that may run a nested loop.
  sender_address_ = r.source_address;
  record_ = protocol::ParseAnnouncement(*c_.receive_buffer, sender_address_);
  c_.out->AppendLine(protocol::TextUpToZero(*c_.receive_buffer, 0, c_.receive_buffer->size()));
  c_.out->AppendLine(sender_address_);

  if (!first_announcement_) {
    // The thread blocks as a sleep would, but the answers of a large segment that arrive
    // meanwhile are kept: a burst can outgrow the system's receive buffer.
    c_.channel->WaitDraining(kFirstAnnouncementPauseMs);
    first_announcement_ = 1;
  }
  if (record_.bootProto == "static" || record_.bootProto == "dhcp") {
    c_.list->AddDeviceRow(record_);
    c_.window->EnableControl(IDC_IP_FIND, true);
  } else {
    c_.out->ShowMessage(record_.bootProto);
    c_.window->EnableControl(IDC_IP_FIND, true);
  }
}

}  // namespace ardvix::discovery
