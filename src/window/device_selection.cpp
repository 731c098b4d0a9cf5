#include "window/device_selection.h"

#include "window/address_text.h"
#include "window/control_ids.h"

namespace ardvix::window {

namespace {
constexpr const char* kSelectAgain = "다시 선택하십시요";
constexpr int kAddressFields[] = {IDC_IP_ADDRESS, IDC_GATEWAY, IDC_SUBNET_MASK};
}  // namespace

void DeviceSelection::EnableDeviceCommands(bool enable) {
  for (int id : {IDC_PING, IDC_IP_CHANGE, IDC_VIDEO_SET, IDC_STATIC_IP, IDC_DYNAMIC_IP}) {
    c_.window->EnableControl(id, enable);
  }
}

void DeviceSelection::EnableAddressFields(bool enable) {
  for (int id : kAddressFields) c_.window->EnableControl(id, enable);
}

void DeviceSelection::OnListClick() {
  EnableDeviceCommands(false);
  c_.save_data_exchange();
}

void DeviceSelection::LoadSelectedDevice(int row) {
  platform::Window& w = *c_.window;
  selected_ = c_.list->RowTexts(row);
  const auto& [ip, mac, gateway, mask, boot_proto, id, web_port] = selected_;

  if (boot_proto == "static") {
    w.SetCheck(IDC_STATIC_IP, true);
    w.SetCheck(IDC_DYNAMIC_IP, false);
    EnableAddressFields(true);
  } else if (boot_proto == "dhcp") {
    w.SetCheck(IDC_STATIC_IP, false);
    w.SetCheck(IDC_DYNAMIC_IP, true);
    EnableAddressFields(false);
  } else {
    c_.out->ShowMessage(kSelectAgain);
  }

  w.SetText(IDC_MAC, mac);
  w.SetText(IDC_ID, id);
  c_.set_mac_and_id(mac, id);

  const std::string* texts[] = {&ip, &gateway, &mask};
  for (int i = 0; i < 3; ++i) {
    const auto p = AddressTextToParts(*texts[i]);
    w.SetIpAddress(kAddressFields[i], p[0], p[1], p[2], p[3]);
  }

  EnableDeviceCommands(true);
  w.EnableControl(IDC_PASSWORD, web_port != "one");
  c_.save_data_exchange();
}

void DeviceSelection::ListClear() { c_.list->DeleteAllRows(); }

void DeviceSelection::OnStaticClicked() {
  EnableAddressFields(true);
  *c_.address_mode = 1;
}

void DeviceSelection::OnDynamicClicked() {
  EnableAddressFields(false);
  *c_.address_mode = 0;
}

}  // namespace ardvix::window
