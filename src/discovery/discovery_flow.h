// Discovery broadcasting: "IP Find" broadcasts "cryptomac" with the local address text and
// every announcement meant for this PC becomes one row of the device list. A 10 s timer
// ends a broadcast that nothing answered. Runs on the UI thread.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "discovery/device_list.h"
#include "platform/command_interpreter.h"
#include "platform/window.h"
#include "protocol/channel_socket.h"
#include "protocol/command_datagram.h"
#include "protocol/device_record.h"
#include "protocol/operator_output.h"

namespace ardvix::discovery {

inline constexpr uint32_t kFirstAnnouncementPauseMs = 5000;

// What the flow shares with the main window. Nothing here is owned.
struct DiscoveryContext {
  platform::Window* window = nullptr;
  protocol::OperatorOutput* out = nullptr;
  protocol::CBroadcastSocket* channel = nullptr;
  DeviceList* list = nullptr;
  platform::CommandInterpreter* shell = nullptr;
  std::array<uint8_t, protocol::kFrameLength>* send_buffer = nullptr;
  std::array<uint8_t, protocol::kFrameLength>* receive_buffer = nullptr;
  // The local address text over its length; empty when detection failed. Read at each
  // use: detection runs after the flows are built.
  std::function<std::string_view()> local_text;
};

class DiscoveryFlow {
 public:
  explicit DiscoveryFlow(const DiscoveryContext& context) : c_(context) {}

  void StartBroadcast();
  void StopBroadcast();
  void OnDiscoveryTimer();
  void OnBroadcastReceive();

 private:
  DiscoveryContext c_;
  protocol::DeviceRecord record_;
  std::string sender_address_;
  int first_announcement_ = 0;
};

}  // namespace ardvix::discovery
