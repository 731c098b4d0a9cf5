// The video settings dialog (template 129): three drop-down lists whose selections the
// caller reads once the dialog has closed with "Send".
#pragma once

#include "platform/window.h"
#include "window/dialog_base.h"

namespace ardvix::config {

inline constexpr int kFrameRateItems = 2;
inline constexpr int kKeyFrameItems = 5;
inline constexpr int kQualityItems = 3;

// Positions in the three lists; each is always one of its list's items.
struct VideoSelection {
  int frame_rate = 0;
  int key_frame = 0;
  int quality = 0;
};

class CVideoSetDlg : public window::DialogBase {
 public:
  // Runs the dialog modally over parent (may be null); returns kIdOk for "Send", kIdCancel
  // for "Cancel" or closing it.
  int DoModal(platform::UiBackend& ui, platform::Window* parent);

  const VideoSelection& selection() const { return selection_; }

 protected:
  // Fills the lists and selects the first item of each, whatever was chosen before.
  void OnInitDialog() override;
  void OnSelectionChange(int dropdown_id, int index) override;

 private:
  VideoSelection selection_;
};

}  // namespace ardvix::config
