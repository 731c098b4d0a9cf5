// The find-by-MAC dialog (template 130): six two-character MAC groups and "Send", which
// broadcasts "ipadrfind" on the dialog's own channel. The request carries the command word
// alone and the dialog reads no answer, so the "Found IP :" field stays empty.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/udp_socket.h"
#include "platform/window.h"
#include "protocol/channel_socket.h"
#include "protocol/command_datagram.h"
#include "window/dialog_base.h"

namespace ardvix::discovery {

class CFindIpDlg : public window::DialogBase {
 public:
  explicit CFindIpDlg(platform::UdpSocketFactory& udp) : channel_(udp) {}

  // Runs the dialog modally over parent; the channel closes when the dialog object goes.
  int DoModal(platform::UiBackend& ui, platform::Window* parent);

  const protocol::CBroadcastSocket& channel() const { return channel_; }

 protected:
  void OnWindowCreated() override;
  void OnInitDialog() override;
  void OnControlCommand(int control_id) override;
  void OnNotification(const platform::Notification& n) override;

 private:
  void OnSend();

  protocol::CBroadcastSocket channel_;
  std::array<uint8_t, protocol::kFrameLength> frame_{};
  std::array<uint8_t, protocol::kFrameLength> discard_{};
  std::array<std::string, 6> mac_groups_;
};

}  // namespace ardvix::discovery
