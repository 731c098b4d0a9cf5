#include "window/templates/find_ip_template.h"

#include "platform/window.h"
#include "window/control_ids.h"

namespace ardvix::window {

using platform::ControlKind;
using namespace platform;  // style bits

const DialogTemplate& FindIpTemplate() {
  static const DialogTemplate t = [] {
    DialogTemplate d;
    d.id = IDD_FINDIP_DIALOG;
    d.caption = "Find IP";
    d.cx = 147;
    d.cy = 121;
    d.font_name = "System";
    d.font_points = 10;
    const auto group = [](int id, int x) {
      return ControlTemplate{
          id, ControlKind::kEdit, "", x, 32, 14, 14, kBorder | kUpperCase | kAutoHScroll, nullptr};
    };
    const auto colon = [](int x) {
      return ControlTemplate{-1, ControlKind::kStaticText, ":", x, 34, 8, 8, kCenter, nullptr};
    };
    d.controls = {
        {IDC_FIND_SEND, ControlKind::kDefPushButton, "Send", 46, 101, 47, 13, kStyleNone, nullptr},
        {kIdCancel, ControlKind::kPushButton, "Cancel", 94, 101, 46, 13, kStyleNone, nullptr},
        group(kMacGroupIds[0], 10),
        group(kMacGroupIds[1], 33),
        group(kMacGroupIds[2], 55),
        group(kMacGroupIds[3], 77),
        group(kMacGroupIds[4], 99),
        group(kMacGroupIds[5], 121),
        colon(25),
        colon(47),
        colon(69),
        colon(91),
        colon(113),
        {-1, ControlKind::kStaticText, "Mac Address :", 7, 17, 58, 8, kStyleNone, nullptr},
        {-1, ControlKind::kStaticText, "Found IP :", 7, 68, 34, 8, kStyleNone, nullptr},
        {IDC_FOUND_IP, ControlKind::kIpAddress, "", 30, 79, 100, 15, kStyleNone, nullptr},
    };
    return d;
  }();
  return t;
}

}  // namespace ardvix::window
