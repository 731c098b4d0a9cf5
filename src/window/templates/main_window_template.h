#pragma once

#include "platform/dialog_template.h"

namespace ardvix::window {

// The main window's layout (template 102), in tab order.
const platform::DialogTemplate& MainWindowTemplate();

}  // namespace ardvix::window
