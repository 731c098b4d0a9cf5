#include "window/templates/video_set_template.h"

#include "platform/window.h"
#include "window/control_ids.h"

namespace ardvix::window {

using platform::ControlKind;
using namespace platform;  // style bits

const DialogTemplate& VideoSetTemplate() {
  static const DialogTemplate t = [] {
    DialogTemplate d;
    d.id = IDD_VIDEOSET_DIALOG;
    d.caption = "CAM VIDEO SET EDIT CHANGE";
    d.cx = 186;
    d.cy = 95;
    d.font_name = "굴림";
    d.font_points = 9;
    const auto label = [](const char* text, int y) {
      return ControlTemplate{-1,     ControlKind::kStaticText, text, 12, y + 2, 62, 8, kStyleNone,
                             nullptr};
    };
    // A drop-down's height includes its open list.
    const auto list = [](int id, int y, int items) {
      return ControlTemplate{
          id, ControlKind::kDropDownList, "", 78, y, 96, 14 + 10 * items, kVScroll, nullptr};
    };
    d.controls = {
        label("Frame Rate", 12),
        list(IDC_FRAME_RATE, 12, 2),
        label("Key Frame Rate", 32),
        list(IDC_KEY_FRAME_RATE, 32, 5),
        label("Quality", 52),
        list(IDC_QUALITY, 52, 3),
        {platform::kIdOk, ControlKind::kDefPushButton, "Send", 38, 74, 50, 14, kStyleNone, nullptr},
        {platform::kIdCancel, ControlKind::kPushButton, "Cancel", 98, 74, 50, 14, kStyleNone,
         nullptr},
    };
    return d;
  }();
  return t;
}

}  // namespace ardvix::window
