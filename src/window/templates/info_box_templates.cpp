#include "window/templates/info_box_templates.h"

#include "window/app_icon.h"
#include "platform/window.h"
#include "window/control_ids.h"

namespace ardvix::window {

using platform::ControlKind;
using namespace platform;  // style bits

const char* const kHelpText =
    "Please upgrade the firmware if Check Help message is shown in your IP. \r\n"
    "Further more, in case you can't  access on the Webpage, please press the Reset button "
    "for 2 seconds and then refer the manual.";

const DialogTemplate& AboutTemplate() {
  static const DialogTemplate t = [] {
    DialogTemplate d;
    d.id = IDD_ABOUTBOX;
    d.caption = "Zell Information";
    d.cx = 235;
    d.cy = 55;
    d.font_name = "굴림";
    d.font_points = 9;
    d.controls = {
        {-1, ControlKind::kIcon, "", 11, 17, 20, 20, kStyleNone, &AppIcon()},
        {-1, ControlKind::kStaticText, "Ardvix Version 1.0", 40, 10, 119, 8, kStyleNone, nullptr},
        {kIdOk, ControlKind::kDefPushButton, "확인", 178, 7, 50, 14, kStyleNone, nullptr},
    };
    return d;
  }();
  return t;
}

const DialogTemplate& HelpTemplate() {
  static const DialogTemplate t = [] {
    DialogTemplate d;
    d.id = IDD_HELP_DIALOG;
    d.caption = "Help";
    d.cx = 157;
    d.cy = 96;
    d.font_name = "System";
    d.font_points = 6;
    d.controls = {
        {kIdOk, ControlKind::kDefPushButton, "확인", 53, 70, 46, 11, kStyleNone, nullptr},
        {-1, ControlKind::kStaticText, kHelpText, 13, 13, 130, 53, kWordWrap, nullptr},
    };
    return d;
  }();
  return t;
}

}  // namespace ardvix::window
