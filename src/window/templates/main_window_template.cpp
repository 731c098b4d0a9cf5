#include "window/templates/main_window_template.h"

#include "window/control_ids.h"

namespace ardvix::window {

using platform::ControlKind;
using namespace platform;  // style bits

const DialogTemplate& MainWindowTemplate() {
  static const DialogTemplate t = [] {
    DialogTemplate d;
    d.id = IDD_FINDER_DIALOG;
    d.caption = "Ardvix";
    d.cx = 355;
    d.cy = 232;
    d.font_name = "굴림";
    d.font_points = 9;
    d.minimize_box = true;
    d.shown_on_taskbar = true;
    const auto label = [](const char* text, int x, int y, int cx) {
      return ControlTemplate{-1, ControlKind::kStaticText, text, x, y, cx, 8, kStyleNone, nullptr};
    };
    d.controls = {
        {IDOK_EXIT, ControlKind::kDefPushButton, "Exit", 292, 189, 50, 14, kStyleNone, nullptr},
        {IDC_IP_FIND, ControlKind::kPushButton, "IP Find", 7, 7, 50, 14, kStyleNone, nullptr},
        {IDC_LOG, ControlKind::kEdit, "", 7, 61, 341, 32,
         kMultiLine | kReadOnly | kBorder | kVScroll | kNoWordWrap | kHidden, nullptr},
        {IDC_BROADCAST_OFF, ControlKind::kPushButton, "Brodcast Off", 271, 7, 50, 14, kHidden,
         nullptr},
        {IDC_DEVICE_LIST, ControlKind::kListView, "", 7, 25, 341, 67, kBorder, nullptr},
        {IDC_IP_CHANGE, ControlKind::kPushButton, "IP Change", 152, 190, 50, 14, kDisabled,
         nullptr},
        label("IP Address", 7, 120, 50),
        {IDC_IP_ADDRESS, ControlKind::kIpAddress, "", 63, 117, 100, 15, kStyleNone, nullptr},
        label("Default GateWay", 7, 142, 55),
        {IDC_GATEWAY, ControlKind::kIpAddress, "", 63, 139, 100, 15, kStyleNone, nullptr},
        label("SubNet Mask", 7, 164, 50),
        {IDC_SUBNET_MASK, ControlKind::kIpAddress, "", 63, 161, 100, 15, kStyleNone, nullptr},
        label("Mac Address", 186, 120, 50),
        {IDC_MAC, ControlKind::kEdit, "", 242, 117, 100, 14, kCenter | kBorder | kDisabled,
         nullptr},
        {IDC_VIDEO_SET, ControlKind::kPushButton, "Video Set", 292, 189, 50, 14, kHidden, nullptr},
        label("ID", 187, 142, 40),
        {IDC_ID, ControlKind::kEdit, "", 242, 139, 100, 14, kCenter | kBorder | kDisabled, nullptr},
        label("Password", 187, 163, 40),
        {IDC_PASSWORD, ControlKind::kEdit, "", 242, 161, 100, 14, kPassword | kBorder, nullptr},
        {IDC_PING, ControlKind::kPushButton, "Ping", 222, 190, 50, 14, kDisabled, nullptr},
        {IDC_LIST_CLEAR, ControlKind::kPushButton, "List Clear", 62, 7, 50, 14, kStyleNone,
         nullptr},
        {IDC_SAVE, ControlKind::kPushButton, "Save", 118, 7, 50, 14, kHidden, nullptr},
        {IDC_FIND_CAM, ControlKind::kPushButton, "Find CAM", 271, 7, 50, 14, kHidden, nullptr},
        {IDC_STATUS, ControlKind::kEdit, "", 7, 208, 341, 15, kBorder | kDisabled, nullptr},
        {IDC_STATIC_IP, ControlKind::kRadioButton, "Static IP Address", 102, 97, 71, 10,
         kGroup | kDisabled, nullptr},
        {IDC_DYNAMIC_IP, ControlKind::kRadioButton, "Dynamic IP Address", 7, 97, 82, 10, kDisabled,
         nullptr},
        {IDC_HELP, ControlKind::kPushButton, "Help", 207, 7, 42, 13, kHidden, nullptr},
    };
    return d;
  }();
  return t;
}

}  // namespace ardvix::window
