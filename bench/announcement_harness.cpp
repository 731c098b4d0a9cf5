#include "announcement_harness.h"

#include <cstdio>
#include <cstring>

#include "protocol/device_record.h"
#include "window/control_ids.h"
#include "window/templates/main_window_template.h"

namespace ardvix::bench {

namespace {

constexpr const char* kLocalText = "LI=10.77.0.1\n";

constexpr struct {
  const char* header;
  int width;
} kColumns[] = {{"IP Address", 90}, {"MAC Address", 90}, {" Gateway", 90}, {" Subnet Mask", 90},
                {"Bootproto", 70},  {"ID", 90},          {"WebPort", 90}};

void Put(std::vector<uint8_t>& datagram, size_t offset, const std::string& text) {
  std::memcpy(datagram.data() + offset, text.data(), text.size());
}

}  // namespace

std::string AnnouncementHarness::MacOf(int index) {
  char mac[18];
  std::snprintf(mac, sizeof mac, "00:1A:%02X:%02X:%02X:%02X", (index >> 24) & 0xFF,
                (index >> 16) & 0xFF, (index >> 8) & 0xFF, index & 0xFF);
  return mac;
}

AnnouncementHarness::AnnouncementHarness(platform::UiBackend& ui) {
  window_ = ui.CreateDialogWindow(window::MainWindowTemplate(), *this, nullptr);
  platform::Window& w = *window_;
  int column = 0;
  for (const auto& c : kColumns)
    w.InsertColumn(window::IDC_DEVICE_LIST, column++, c.header, c.width);
  w.SetListFullRowSelect(window::IDC_DEVICE_LIST, true, true);
  log_box_.Attach(&w, window::IDC_LOG);
  list_ = std::make_unique<discovery::DeviceList>(w, window::IDC_DEVICE_LIST);

  discovery::DiscoveryContext context;
  context.window = &w;
  context.out = this;
  context.channel = &channel_;
  context.list = list_.get();
  context.shell = &shell_;
  context.send_buffer = &send_buffer_;
  context.receive_buffer = &receive_buffer_;
  context.local_text = [] { return std::string_view(kLocalText); };
  flow_ = std::make_unique<discovery::DiscoveryFlow>(context);
  channel_.OpenIfNeeded();

  announcement_.assign(protocol::kFrameLength, 0);
  Put(announcement_, 19, "10.77.0.254");
  Put(announcement_, 34, "255.255.0.0");
  Put(announcement_, 50, "static");
  Put(announcement_, 60, "admin");
  announcement_[99] = 0xFF;
  Put(announcement_, 100, kLocalText);
  Put(announcement_, 140, "80");

  // The first announcement of the window's life carries the pause; get it out of the way.
  Handle(0);
  list_->DeleteAllRows();
}

AnnouncementHarness::~AnnouncementHarness() { channel_.Close(); }

void AnnouncementHarness::FillTo(int rows) {
  list_->DeleteAllRows();
  protocol::DeviceRecord record;
  record.ipAddress = "10.77.0.2";
  record.gateway = "10.77.0.254";
  record.subnetMask = "255.255.0.0";
  record.bootProto = "static";
  record.id = "admin";
  record.webPort = "80";
  for (int i = 0; i < rows; ++i) {
    record.macAddress = MacOf(i);
    list_->AddDeviceRow(record);
  }
  next_device_ = rows;
}

void AnnouncementHarness::HandleNewDevice() { Handle(next_device_++); }

void AnnouncementHarness::HandleListedDevice(int index) { Handle(index); }

void AnnouncementHarness::Handle(int device_index) {
  Put(announcement_, 0, MacOf(device_index));
  network_.Deliver(channel_.local_port(), announcement_, "10.77.3.4", protocol::DEVICE_PORT);
  flow_->OnBroadcastReceive();
}

void AnnouncementHarness::SetStatus(const std::string& text) {
  window_->SetText(window::IDC_STATUS, text);
}

void AnnouncementHarness::AppendLine(const std::string& text) { log_box_.AppendLine(text); }

void AnnouncementHarness::ShowMessage(const std::string& text) { window_->MessageBox(text); }

}  // namespace ardvix::bench
