#pragma once

#include "platform/icon_image.h"

namespace ardvix::window {

// Icon 128: a 32x32 picture of a network camera on a blue tile, the window's large and
// small icon and the About box's picture.
const platform::IconImage& AppIcon();

}  // namespace ardvix::window
