#include "platform/qt/icon_pixmap.h"

#include <QImage>

namespace ardvix::platform::qt {

QPixmap PixmapOf(const IconImage& image) {
  if (image.width <= 0 || image.height <= 0) return {};
  const auto pixels = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
  if (image.argb.size() < pixels) return {};
  QImage qimage(image.width, image.height, QImage::Format_ARGB32);
  for (int y = 0; y < image.height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(qimage.scanLine(y));
    for (int x = 0; x < image.width; ++x) {
      line[x] = image.argb[static_cast<size_t>(y) * static_cast<size_t>(image.width) +
                           static_cast<size_t>(x)];
    }
  }
  return QPixmap::fromImage(qimage);
}

QIcon IconOf(const IconImage& image) {
  const QPixmap pixmap = PixmapOf(image);
  return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

}  // namespace ardvix::platform::qt
