#include "window/app_icon.h"

#include <cmath>
#include <cstdint>

namespace ardvix::window {
namespace {

constexpr uint32_t kClear = 0x00000000;
constexpr uint32_t kTile = 0xFF1F4E8C;
constexpr uint32_t kTileEdge = 0xFF143761;
constexpr uint32_t kBody = 0xFFF2F2F2;
constexpr uint32_t kBodyShade = 0xFFBFC7D1;
constexpr uint32_t kLensRing = 0xFF2B2B2B;
constexpr uint32_t kLens = 0xFF3DA5E0;
constexpr uint32_t kGlint = 0xFFFFFFFF;
constexpr uint32_t kLed = 0xFF35D04A;

bool InRoundedRect(int x, int y, int left, int top, int right, int bottom, int radius) {
  if (x < left || x > right || y < top || y > bottom) return false;
  const int cx = x < left + radius ? left + radius : (x > right - radius ? right - radius : x);
  const int cy = y < top + radius ? top + radius : (y > bottom - radius ? bottom - radius : y);
  return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
}

uint32_t PixelAt(int x, int y) {
  if (!InRoundedRect(x, y, 0, 0, 31, 31, 5)) return kClear;
  uint32_t c = InRoundedRect(x, y, 1, 1, 30, 30, 4) ? kTile : kTileEdge;
  // Camera body with a sun shade on top and a mounting foot below.
  if (InRoundedRect(x, y, 4, 10, 27, 22, 2)) c = y > 19 ? kBodyShade : kBody;
  if (y >= 7 && y <= 9 && x >= 6 && x <= 25) c = kBodyShade;
  if (x >= 14 && x <= 17 && y >= 23 && y <= 27) c = kBodyShade;
  if (x >= 10 && x <= 21 && y >= 27 && y <= 28) c = kBodyShade;
  const double d = std::hypot(x - 12.0, y - 16.0);
  if (d <= 5.2) c = kLensRing;
  if (d <= 3.6) c = kLens;
  if (std::hypot(x - 10.5, y - 14.5) <= 1.1) c = kGlint;
  if (x >= 23 && x <= 24 && y >= 12 && y <= 13) c = kLed;
  return c;
}

}  // namespace

const platform::IconImage& AppIcon() {
  static const platform::IconImage icon = [] {
    platform::IconImage img;
    img.width = 32;
    img.height = 32;
    img.argb.reserve(32 * 32);
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) img.argb.push_back(PixelAt(x, y));
    }
    return img;
  }();
  return icon;
}

}  // namespace ardvix::window
