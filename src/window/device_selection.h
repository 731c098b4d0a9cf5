// Picking the device to work on: a double click copies its row into the forms and enables
// the per-device commands; a single click disables them again; "List Clear" empties the
// list; the radio buttons choose the address mode.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "discovery/device_list.h"
#include "platform/window.h"
#include "protocol/operator_output.h"

namespace ardvix::window {

struct SelectionContext {
  platform::Window* window = nullptr;
  protocol::OperatorOutput* out = nullptr;
  discovery::DeviceList* list = nullptr;
  int* address_mode = nullptr;               // 1 static, 0 dynamic
  std::function<void()> save_data_exchange;  // boxes -> MAC, ID and password strings
  std::function<void(const std::string& mac, const std::string& id)> set_mac_and_id;
};

class DeviceSelection {
 public:
  explicit DeviceSelection(const SelectionContext& context) : c_(context) {}

  void OnListClick();
  void LoadSelectedDevice(int row);
  void ListClear();
  void OnStaticClicked();
  void OnDynamicClicked();

  // The web port text of the row loaded by the last double click.
  const std::string& selected_web_port() const { return selected_[6]; }

 private:
  void EnableDeviceCommands(bool enable);
  void EnableAddressFields(bool enable);

  SelectionContext c_;
  std::array<std::string, 7> selected_;
};

}  // namespace ardvix::window
