// The discovery handler as the main window runs it, on any window backend: the main window
// template with its list columns and log box, the discovery channel on the in-memory network
// (one fake datagram per handled announcement) and a virtual clock, so the one pause of the
// first announcement costs nothing. Used by the benchmark programs of this folder.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "discovery/device_list.h"
#include "discovery/discovery_flow.h"
#include "platform/headless/fake_command_interpreter.h"
#include "platform/headless/fake_udp_network.h"
#include "platform/headless/virtual_clock.h"
#include "platform/window.h"
#include "protocol/channel_socket.h"
#include "protocol/command_datagram.h"
#include "protocol/operator_output.h"
#include "window/log_box.h"

namespace ardvix::bench {

class AnnouncementHarness : public protocol::OperatorOutput, public platform::WindowEvents {
 public:
  explicit AnnouncementHarness(platform::UiBackend& ui);
  ~AnnouncementHarness() override;

  // Empties the list and lists devices 0 .. rows-1 (not timed: straight into the list).
  void FillTo(int rows);
  // A device not listed yet answers: the handler appends a row.
  void HandleNewDevice();
  // Device `index`, listed already, answers again: the handler finds it and adds nothing.
  void HandleListedDevice(int index);
  int RowCount() const { return list_->RowCount(); }

  // OperatorOutput, as the main window implements it.
  void SetStatus(const std::string& text) override;
  void AppendLine(const std::string& text) override;
  void ShowMessage(const std::string& text) override;
  // WindowEvents: nobody clicks.
  void OnCommand(int) override {}

  static std::string MacOf(int index);

 private:
  void Handle(int device_index);

  headless::VirtualClock clock_;
  headless::FakeUdpNetwork network_{40000, &clock_};
  headless::FakeCommandInterpreter shell_;
  std::unique_ptr<platform::Window> window_;
  window::CLogEdit log_box_;
  protocol::CBroadcastSocket channel_{network_};
  std::array<uint8_t, protocol::kFrameLength> send_buffer_{};
  std::array<uint8_t, protocol::kFrameLength> receive_buffer_{};
  std::unique_ptr<discovery::DeviceList> list_;
  std::unique_ptr<discovery::DiscoveryFlow> flow_;
  std::vector<uint8_t> announcement_;  // device 0's answer; the MAC is patched per device
  int next_device_ = 0;
};

}  // namespace ardvix::bench
