#pragma once

#include "platform/dialog_template.h"

namespace ardvix::window {

// Controls of the find-by-MAC dialog (template 130).
inline constexpr int IDC_FIND_SEND = 1048;
inline constexpr int IDC_FOUND_IP = 1044;
// The six MAC groups, left to right.
inline constexpr int kMacGroupIds[6] = {1033, 1039, 1040, 1041, 1042, 1043};
inline constexpr int kMacGroupChars = 2;

// Six two-character MAC groups, "Send", "Cancel" and the address field for the result.
const platform::DialogTemplate& FindIpTemplate();

}  // namespace ardvix::window
