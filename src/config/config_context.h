// What the device-configuration flows share with the main window. Nothing here is owned;
// everything lives as long as the main window's window.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "discovery/device_list.h"
#include "discovery/discovery_flow.h"
#include "nettools/ping_worker.h"
#include "platform/command_interpreter.h"
#include "platform/window.h"
#include "protocol/auth_socket.h"
#include "protocol/channel_socket.h"
#include "protocol/command_datagram.h"
#include "protocol/operator_output.h"

namespace ardvix::config {

// The selected device as the forms and the last double click left it.
struct SelectedDevice {
  std::string* mac = nullptr;                    // exchanged with box 1024
  std::string* id = nullptr;                     // exchanged with box 1026
  std::string* password = nullptr;               // exchanged with box 1027
  std::function<const std::string&()> web_port;  // of the row of the last double click
  int* address_mode = nullptr;                   // 1 static, 0 dynamic
  std::function<void()> save_data_exchange;      // boxes -> the three strings
};

struct ConfigContext {
  platform::Window* window = nullptr;
  protocol::OperatorOutput* out = nullptr;
  platform::CommandInterpreter* shell = nullptr;
  protocol::CAuthSocket* auth_channel = nullptr;
  protocol::CIpChangeSocket* ip_change_channel = nullptr;
  std::array<uint8_t, protocol::kFrameLength>* send_buffer = nullptr;
  std::array<uint8_t, protocol::kFrameLength>* receive_buffer = nullptr;
  std::function<std::string_view()> local_text;
  discovery::DeviceList* list = nullptr;
  discovery::DiscoveryFlow* discovery = nullptr;
  nettools::PingJobRunner* pinger = nullptr;
  std::shared_ptr<platform::NotificationTarget> self;  // where the ping worker reports
  SelectedDevice device;
};

}  // namespace ardvix::config
