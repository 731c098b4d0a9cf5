// The Video Set command: the operator picks three video settings in CVideoSetDlg, and the
// choice goes to the selected device in a "videosetc" broadcast on the video-settings
// channel, with the device's login ID and the typed password; the device's answer code
// says whether it applied them. UI thread only.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "config/config_context.h"
#include "config/video_set_dlg.h"
#include "platform/window.h"
#include "protocol/channel_socket.h"

namespace ardvix::config {

// The frame-rate, key-frame and quality value texts of a selection, in that order.
std::array<std::string, 3> VideoValueTexts(const VideoSelection& selection);

// Fills the 300-byte frame: "videosetc", "MAC", the MAC string, the settings text, the local
// address text, three zero bytes, then "<id>=<password>=". The frame is cleared first.
void BuildVideoSetFrame(std::span<uint8_t> frame, std::string_view mac,
                        std::string_view settings_text, std::string_view local_text,
                        std::string_view id, std::string_view password);

class VideoSettings {
 public:
  // channel reports WM_VIDEOSET_RECEIVE to the main window; ui runs the dialog over
  // context.window.
  VideoSettings(const ConfigContext& context, protocol::CVideoSetSocket& channel,
                platform::UiBackend& ui)
      : c_(context), channel_(channel), ui_(ui) {}

  // Button 1025.
  void OnVideoSet();
  // WM_VIDEOSET_RECEIVE.
  void OnVideoSetReceive();

  // What the last "Send" chose; kept while a later dialog is cancelled.
  const VideoSelection& selection() const { return selection_; }
  const std::array<std::string, 3>& value_texts() const { return value_texts_; }

 private:
  ConfigContext c_;
  protocol::CVideoSetSocket& channel_;
  platform::UiBackend& ui_;
  VideoSelection selection_;
  std::array<std::string, 3> value_texts_;
};

}  // namespace ardvix::config
