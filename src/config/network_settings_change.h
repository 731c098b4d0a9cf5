// Changing the selected device's network settings: probe the new address with two echo
// requests, then broadcast "ipaddrset" (static) or "dynamcset" (DHCP) and handle the
// device's answer by clearing the forms and running discovery again. UI thread only.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "config/config_context.h"
#include "platform/window.h"

namespace ardvix::config {

inline constexpr uint32_t kProbeCount = 2;

// The address, gateway and netmask lines of "ipaddrset": "<label> a.b.c.d\n".
std::string AddressLine(const char* label, const platform::IpAddressParts& parts);

class NetworkSettingsChange {
 public:
  explicit NetworkSettingsChange(const ConfigContext& context) : c_(context) {}

  void StartAddressProbe();
  // Outcome notifications of the ping worker.
  void OnPingReply() { reply_flag_ = 1; }
  void OnPingTimeout() { timeout_flag_ = 1; }
  void OnPingNoHost() { nohost_flag_ = 1; }
  // WM_PING_DONE: the probe is over; judge it and send the command.
  void OnProbeDone();
  // WM_IPCHANGE_RECEIVE: the device's answer.
  void OnIpChangeReceive();

 private:
  void StartPing(const std::string& target);
  // Builds the static command in the frame buffer; false (after the message) when a field
  // is incomplete or starts with 0.
  bool BuildAddressSet();
  void BuildDynamicSet();
  void SendCommand();

  ConfigContext c_;
  int ping_running_ = 0;
  int reply_flag_ = 0;
  int timeout_flag_ = 0;
  int nohost_flag_ = 0;
};

}  // namespace ardvix::config
