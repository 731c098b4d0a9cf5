// Dialog templates as data: a window is a caption, a size in dialog units, a font and a
// table of controls. Both backends (Qt and headless) build their windows from the same
// tables, so a layout is written once, beside the code that binds it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/icon_image.h"

namespace ardvix::platform {

enum class ControlKind {
  kPushButton,
  kDefPushButton,  // the button that Enter presses
  kRadioButton,    // automatic: a click checks it and unchecks the others of its group
  kEdit,
  kListView,   // report mode with columns
  kIpAddress,  // four parts of 0..255, any of which may be blank
  kStaticText,
  kIcon,
  kDropDownList,  // a combo box whose text cannot be typed
};

// Style bits of a control. Only the ones that change behaviour or look are listed.
enum ControlStyle : uint32_t {
  kStyleNone = 0,
  kHidden = 1u << 0,
  kDisabled = 1u << 1,
  kBorder = 1u << 2,
  kMultiLine = 1u << 3,
  kReadOnly = 1u << 4,
  kVScroll = 1u << 5,
  kAutoHScroll = 1u << 6,
  kPassword = 1u << 7,   // characters hidden as typed
  kUpperCase = 1u << 8,  // typed letters become capitals
  kCenter = 1u << 9,     // centred text (edit or static)
  kWordWrap = 1u << 10,  // static text that wraps
  kGroup = 1u << 11,     // first control of a radio group
  kNoWordWrap = 1u << 12,
  kShowSelAlways = 1u << 13,
};

struct ControlTemplate {
  int id = -1;  // -1: a control that no code addresses (labels, icons)
  ControlKind kind = ControlKind::kStaticText;
  std::string text;  // caption of buttons and static texts, initial text of edits
  int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  uint32_t style = kStyleNone;
  const IconImage* icon = nullptr;  // kIcon only; the image outlives every window
};

struct DialogTemplate {
  int id = 0;
  std::string caption;
  int cx = 0, cy = 0;  // dialog units
  std::string font_name;
  int font_points = 9;
  bool minimize_box = false;
  bool shown_on_taskbar = false;
  std::vector<ControlTemplate> controls;  // in tab order

  const ControlTemplate* Find(int control_id) const {
    for (const auto& c : controls) {
      if (c.id == control_id) return &c;
    }
    return nullptr;
  }
};

// Average character size of a dialog font in pixels; dialog units map to pixels through it
// as Windows computes them: x * avg_width / 4, y * height / 8 (rounded to nearest).
struct DialogBaseUnits {
  int avg_char_width = 6;
  int char_height = 13;
};

struct PixelRect {
  int x, y, width, height;
};

inline int MulDivRound(int value, int mul, int div) {
  const long long product = static_cast<long long>(value) * mul;
  return static_cast<int>((product >= 0 ? product + div / 2 : product - div / 2) / div);
}

inline PixelRect DialogUnitsToPixels(const DialogBaseUnits& base, int x, int y, int cx, int cy) {
  return {MulDivRound(x, base.avg_char_width, 4), MulDivRound(y, base.char_height, 8),
          MulDivRound(cx, base.avg_char_width, 4), MulDivRound(cy, base.char_height, 8)};
}

}  // namespace ardvix::platform
