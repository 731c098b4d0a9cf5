#pragma once

#include "platform/dialog_template.h"

namespace ardvix::window {

// Controls of the video settings dialog (template 129).
inline constexpr int IDC_FRAME_RATE = 1048;
inline constexpr int IDC_KEY_FRAME_RATE = 1049;
inline constexpr int IDC_QUALITY = 1050;

// "Send" (OK) and "Cancel" under three labelled drop-down lists.
const platform::DialogTemplate& VideoSetTemplate();

}  // namespace ardvix::window
