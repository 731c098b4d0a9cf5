// "IP Change": the device confirms the operator's password ("pwconfirm", answered "OK" or
// "NO" on the credential channel) before the network settings change starts. A device in
// its initial-settings state ("one") in static mode skips the confirmation. UI thread only.
#pragma once

#include <array>
#include <cstdint>

#include "config/config_context.h"
#include "config/network_settings_change.h"

namespace ardvix::config {

// The 60-byte request: "pwconfirm", "MAC", the MAC text, then "<id>=<password>=".
std::array<uint8_t, protocol::kPwconfirmFrameLength> BuildPasswordConfirm(
    const std::string& mac, const std::string& id, const std::string& password);

class PasswordConfirmation {
 public:
  PasswordConfirmation(const ConfigContext& context, NetworkSettingsChange& change)
      : c_(context), change_(change) {}

  void OnIpChange();
  void OnAuthOk();
  void OnAuthFail();
  void OnAuthError();

  bool awaiting() const { return c_.auth_channel->needs_create() == 0; }

 private:
  ConfigContext c_;
  NetworkSettingsChange& change_;
};

}  // namespace ardvix::config
