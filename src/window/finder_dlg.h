// The main window (template 102): owns every piece of state of every flow as members and
// routes each event to its handler (the event table in finder_dlg.cpp).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "config/network_settings_change.h"
#include "config/password_confirmation.h"
#include "config/video_settings.h"
#include "discovery/device_list.h"
#include "discovery/discovery_flow.h"
#include "nettools/local_address.h"
#include "nettools/ping_command.h"
#include "nettools/ping_worker.h"
#include "platform/services.h"
#include "protocol/auth_socket.h"
#include "protocol/channel_socket.h"
#include "protocol/command_datagram.h"
#include "protocol/device_record.h"
#include "protocol/operator_output.h"
#include "window/device_selection.h"
#include "window/dialog_base.h"
#include "window/log_box.h"

namespace ardvix::window {

class CFinderDlg : public DialogBase, public protocol::OperatorOutput {
 public:
  // ping_worker: runs the address probes; its thread lives as long as this object.
  CFinderDlg(const platform::Services& services,
             std::unique_ptr<nettools::PingJobRunner> ping_worker);
  ~CFinderDlg() override;

  // Runs the window modally; returns when it has been closed and destroyed.
  int DoModal();

  // OperatorOutput: the status line, the log box and the message box.
  void SetStatus(const std::string& text) override;
  void AppendLine(const std::string& text) override;
  void ShowMessage(const std::string& text) override;

  // Broadcasts "destroyee" with the local address text on the discovery channel.
  void BroadcastFarewell();

  const nettools::LocalAddress& local_address() const { return local_address_; }
  int address_mode() const { return address_mode_; }
  const std::string& mac() const { return mac_; }
  const std::string& id() const { return id_; }
  discovery::DeviceList& device_list() { return *device_list_; }
  config::VideoSettings& video_settings() { return *video_settings_; }

 protected:
  // Event table.
  void OnWindowCreated() override;
  void OnInitDialog() override;
  void OnOK() override;
  void OnControlCommand(int control_id) override;
  void OnSysCommand(int command) override;
  void OnFocusGained(int control_id, int previous_id) override;
  void OnListClick(int list_id) override;
  void OnListDoubleClick(int list_id, int row) override;
  void OnTimer(int timer_id) override;
  void OnNotification(const platform::Notification& n) override;
  void OnDestroy() override;

 private:
  // Data exchange between the MAC, ID and password boxes and their strings.
  void LoadDataExchange();
  void SaveDataExchange();
  void CreateListColumns();
  void CreateFlows();
  void ShowAboutBox();
  void ShowHelpBox();
  void FindCam();

  platform::Services services_;

  // Members in declaration order; destroyed in reverse.
  CLogEdit log_box_;
  std::unique_ptr<nettools::PingJobRunner> ping_worker_;
  protocol::CAuthSocket auth_socket_;
  protocol::CBroadcastSocket broadcast_socket_;
  protocol::CIpChangeSocket ip_change_socket_;
  protocol::CVideoSetSocket video_set_socket_;
  std::array<uint8_t, protocol::kFrameLength> receive_buffer_{};
  std::array<uint8_t, protocol::kFrameLength> send_buffer_{};
  int address_mode_ = 1;  // 1 static, 0 dynamic
  nettools::LocalAddress local_address_;
  std::string mac_;
  std::string id_;
  std::string password_;

  // The flows, built once the window exists.
  std::unique_ptr<discovery::DeviceList> device_list_;
  std::unique_ptr<discovery::DiscoveryFlow> discovery_;
  std::unique_ptr<DeviceSelection> selection_;
  std::unique_ptr<config::NetworkSettingsChange> settings_change_;
  std::unique_ptr<config::PasswordConfirmation> password_confirmation_;
  std::unique_ptr<nettools::PingCommand> ping_command_;
  std::unique_ptr<config::VideoSettings> video_settings_;
};

}  // namespace ardvix::window
