#include "window/finder_dlg.h"

#include <algorithm>
#include <cstring>

#include "discovery/find_ip_dlg.h"
#include "nettools/ping_messages.h"
#include "protocol/notifications.h"
#include "window/app_icon.h"
#include "window/control_ids.h"
#include "window/info_boxes.h"
#include "window/saved_list.h"
#include "window/templates/main_window_template.h"

namespace ardvix::window {

namespace {
constexpr const char* kAboutMenuText = "Zell 정보(&A)...";

struct Column {
  const char* header;
  int width;
};
constexpr Column kColumns[] = {{"IP Address", 90},   {"MAC Address", 90}, {" Gateway", 90},
                               {" Subnet Mask", 90}, {"Bootproto", 70},   {"ID", 90},
                               {"WebPort", 90}};
}  // namespace

CFinderDlg::CFinderDlg(const platform::Services& services,
                       std::unique_ptr<nettools::PingJobRunner> ping_worker)
    : services_(services),
      ping_worker_(std::move(ping_worker)),
      auth_socket_(*services.udp),
      broadcast_socket_(*services.udp),
      ip_change_socket_(*services.udp),
      video_set_socket_(*services.udp) {}

CFinderDlg::~CFinderDlg() = default;

int CFinderDlg::DoModal() { return RunDialog(*services_.ui, MainWindowTemplate(), nullptr); }

void CFinderDlg::OnWindowCreated() {
  CreateFlows();
  auto target = wnd().notification_target();
  auth_socket_.SetOwner(target);
  broadcast_socket_.SetOwner(target);
  ip_change_socket_.SetOwner(target);
  video_set_socket_.SetOwner(target);
}

void CFinderDlg::CreateFlows() {
  platform::Window& w = wnd();
  device_list_ = std::make_unique<discovery::DeviceList>(w, IDC_DEVICE_LIST);

  discovery::DiscoveryContext dc;
  dc.window = &w;
  dc.out = this;
  dc.channel = &broadcast_socket_;
  dc.list = device_list_.get();
  dc.shell = services_.shell;
  dc.send_buffer = &send_buffer_;
  dc.receive_buffer = &receive_buffer_;
  dc.local_text = [this] { return local_address_.view(); };
  discovery_ = std::make_unique<discovery::DiscoveryFlow>(dc);

  SelectionContext sc;
  sc.window = &w;
  sc.out = this;
  sc.list = device_list_.get();
  sc.address_mode = &address_mode_;
  sc.save_data_exchange = [this] { SaveDataExchange(); };
  sc.set_mac_and_id = [this](const std::string& mac, const std::string& id) {
    mac_ = mac;
    id_ = id;
  };
  selection_ = std::make_unique<DeviceSelection>(sc);

  config::ConfigContext cc;
  cc.window = &w;
  cc.out = this;
  cc.shell = services_.shell;
  cc.auth_channel = &auth_socket_;
  cc.ip_change_channel = &ip_change_socket_;
  cc.send_buffer = &send_buffer_;
  cc.receive_buffer = &receive_buffer_;
  cc.local_text = [this] { return local_address_.view(); };
  cc.list = device_list_.get();
  cc.discovery = discovery_.get();
  cc.pinger = ping_worker_.get();
  cc.self = w.notification_target();
  cc.device.mac = &mac_;
  cc.device.id = &id_;
  cc.device.password = &password_;
  cc.device.web_port = [this]() -> const std::string& { return selection_->selected_web_port(); };
  cc.device.address_mode = &address_mode_;
  cc.device.save_data_exchange = [this] { SaveDataExchange(); };
  settings_change_ = std::make_unique<config::NetworkSettingsChange>(cc);
  password_confirmation_ = std::make_unique<config::PasswordConfirmation>(cc, *settings_change_);
  ping_command_ = std::make_unique<nettools::PingCommand>(w, *this, *services_.shell);
  video_settings_ = std::make_unique<config::VideoSettings>(cc, video_set_socket_, *services_.ui);
}

void CFinderDlg::OnInitDialog() {
  platform::Window& w = wnd();
  LoadDataExchange();
  w.AppendSystemMenuItem(IDM_ABOUTBOX, kAboutMenuText);
  w.SetIcon(AppIcon());
  SetStatus("Initilizing......");

  broadcast_socket_.MarkNeedsCreate();
  ip_change_socket_.MarkNeedsCreate();
  video_set_socket_.MarkNeedsCreate();
  auth_socket_.MarkNeedsCreate();

  log_box_.Attach(&w, IDC_LOG);
  receive_buffer_.fill(0);
  send_buffer_.fill(0);
  local_address_ = {};

  CreateListColumns();

  w.EnableControl(IDC_PING, false);
  w.EnableControl(IDC_IP_CHANGE, false);
  w.ShowControl(IDC_VIDEO_SET, false);
  w.EnableControl(IDC_STATIC_IP, false);
  w.EnableControl(IDC_DYNAMIC_IP, false);
  w.ShowControl(IDC_FIND_CAM, false);
  w.ShowControl(IDC_LOG, false);
  w.ShowControl(IDC_BROADCAST_OFF, false);

  address_mode_ = 1;
  nettools::DetectLocalAddress(*services_.host, *this, local_address_.text);
  local_address_.length = static_cast<int>(std::strlen(local_address_.text.data()));

  SetStatus("Broadcasting standby.....");
  w.SetFocus(IDOK_EXIT);
}

void CFinderDlg::CreateListColumns() {
  int index = 0;
  for (const Column& c : kColumns) wnd().InsertColumn(IDC_DEVICE_LIST, index++, c.header, c.width);
  wnd().SetListFullRowSelect(IDC_DEVICE_LIST, true, true);
}

void CFinderDlg::LoadDataExchange() {
  platform::Window& w = wnd();
  w.SetText(IDC_MAC, mac_);
  w.SetText(IDC_ID, id_);
  w.SetText(IDC_PASSWORD, password_);
  w.SetTextLimit(IDC_PASSWORD, kPasswordMaxChars);
}

void CFinderDlg::SaveDataExchange() {
  platform::Window& w = wnd();
  mac_ = w.GetText(IDC_MAC);
  id_ = w.GetText(IDC_ID);
  password_ = w.GetText(IDC_PASSWORD);
}

void CFinderDlg::SetStatus(const std::string& text) { wnd().SetText(IDC_STATUS, text); }

void CFinderDlg::AppendLine(const std::string& text) { log_box_.AppendLine(text); }

void CFinderDlg::ShowMessage(const std::string& text) { wnd().MessageBox(text); }

void CFinderDlg::BroadcastFarewell() {
  send_buffer_.fill(0);
  protocol::BuildFrame(send_buffer_, protocol::kCmdFarewell, {local_address_.view()});
  broadcast_socket_.SendCommand(send_buffer_);
}

void CFinderDlg::OnOK() {
  BroadcastFarewell();
  SaveDataExchange();
  wnd().EndDialog(platform::kIdOk);
}

void CFinderDlg::OnControlCommand(int control_id) {
  switch (control_id) {
    case IDC_IP_FIND:
      discovery_->StartBroadcast();
      break;
    case IDC_BROADCAST_OFF:
      discovery_->StopBroadcast();
      break;
    case IDC_LIST_CLEAR:
      selection_->ListClear();
      break;
    case IDC_STATIC_IP:
      selection_->OnStaticClicked();
      break;
    case IDC_DYNAMIC_IP:
      selection_->OnDynamicClicked();
      break;
    case IDC_IP_CHANGE:
      password_confirmation_->OnIpChange();
      break;
    case IDC_PING:
      ping_command_->Run();
      break;
    case IDC_VIDEO_SET:
      video_settings_->OnVideoSet();
      break;
    case IDC_FIND_CAM:
      FindCam();
      break;
    case IDC_SAVE:
      SaveDeviceList(*device_list_, *services_.clock, *this);
      break;
    case IDC_HELP:
      ShowHelpBox();
      break;
    default:
      break;
  }
}

void CFinderDlg::OnListClick(int list_id) {
  if (list_id == IDC_DEVICE_LIST) selection_->OnListClick();
}

void CFinderDlg::OnListDoubleClick(int list_id, int row) {
  if (list_id == IDC_DEVICE_LIST) selection_->LoadSelectedDevice(row);
}

void CFinderDlg::OnSysCommand(int command) {
  if ((command & 0xFFF0) == IDM_ABOUTBOX) ShowAboutBox();
}

// The boxes run over the main window, so it takes no input while they are open.
void CFinderDlg::ShowAboutBox() { CAboutDlg().DoModal(*services_.ui, &wnd()); }

void CFinderDlg::ShowHelpBox() { CHelpDlg().DoModal(*services_.ui, &wnd()); }

void CFinderDlg::FindCam() {
  SetStatus("Find IP.....");
  discovery::CFindIpDlg(*services_.udp).DoModal(*services_.ui, &wnd());
}

void CFinderDlg::OnFocusGained(int control_id, int previous_id) {
  if (control_id == IDC_LOG) log_box_.OnFocusGained(previous_id, IDOK_EXIT);
}

void CFinderDlg::OnTimer(int timer_id) {
  if (timer_id == TIMER_DISCOVERY) discovery_->OnDiscoveryTimer();
}

void CFinderDlg::OnNotification(const platform::Notification& n) {
  switch (n.code) {
    case protocol::WM_BROADCAST_RECEIVE:
      discovery_->OnBroadcastReceive();
      break;
    case protocol::WM_AUTH_OK:
      password_confirmation_->OnAuthOk();
      break;
    case protocol::WM_AUTH_FAIL:
      password_confirmation_->OnAuthFail();
      break;
    case protocol::WM_AUTH_ERROR:
      password_confirmation_->OnAuthError();
      break;
    case protocol::WM_IPCHANGE_RECEIVE:
      settings_change_->OnIpChangeReceive();
      break;
    case protocol::WM_VIDEOSET_RECEIVE:
      video_settings_->OnVideoSetReceive();
      break;
    case nettools::WM_PING_REPLY:
      settings_change_->OnPingReply();
      break;
    case nettools::WM_PING_TIMEOUT:
      settings_change_->OnPingTimeout();
      break;
    case nettools::WM_PING_NOHOST:
      settings_change_->OnPingNoHost();
      break;
    case nettools::WM_PING_TEXT:
      // The probe's lines go to the log, where they help to explain its verdict.
      AppendLine(n.text);
      break;
    case nettools::WM_PING_DONE:
      settings_change_->OnProbeDone();
      break;
    default:
      break;
  }
}

void CFinderDlg::OnDestroy() {
  BroadcastFarewell();
  auth_socket_.Close();
}

}  // namespace ardvix::window
