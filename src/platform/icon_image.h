// A small picture held as data (the window icon), so neither the system's code nor the
// headless backend needs an image library.
#pragma once

#include <cstdint>
#include <vector>

namespace ardvix::platform {

struct IconImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> argb;  // width * height pixels, row by row, 0xAARRGGBB
};

}  // namespace ardvix::platform
