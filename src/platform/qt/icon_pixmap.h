// Turns an IconImage (plain ARGB data) into Qt's image types.
#pragma once

#include <QIcon>
#include <QPixmap>

#include "platform/icon_image.h"

namespace ardvix::platform::qt {

// A null pixmap when the image is empty or its pixel data is shorter than width * height.
QPixmap PixmapOf(const IconImage& image);
QIcon IconOf(const IconImage& image);

}  // namespace ardvix::platform::qt
