#include "discovery/find_ip_dlg.h"

#include "protocol/notifications.h"
#include "window/templates/find_ip_template.h"

namespace ardvix::discovery {

int CFindIpDlg::DoModal(platform::UiBackend& ui, platform::Window* parent) {
  return RunDialog(ui, window::FindIpTemplate(), parent);
}

void CFindIpDlg::OnWindowCreated() { channel_.SetOwner(wnd().notification_target()); }

void CFindIpDlg::OnInitDialog() {
  for (size_t i = 0; i < mac_groups_.size(); ++i) {
    wnd().SetTextLimit(window::kMacGroupIds[i], window::kMacGroupChars);
    wnd().SetText(window::kMacGroupIds[i], mac_groups_[i]);
  }
  channel_.MarkNeedsCreate();
}

void CFindIpDlg::OnControlCommand(int control_id) {
  if (control_id == window::IDC_FIND_SEND) OnSend();
}

void CFindIpDlg::OnSend() {
  protocol::BuildFrame(frame_, protocol::kCmdFindByMac);
  channel_.SendCommand(frame_);
}

void CFindIpDlg::OnNotification(const platform::Notification& n) {
  // Answers are not used, but each one is read: a datagram left waiting would keep the
  // socket readable and the event loop would call back for it without end.
  if (n.code == protocol::WM_BROADCAST_RECEIVE) channel_.Receive(discard_);
}

}  // namespace ardvix::discovery
