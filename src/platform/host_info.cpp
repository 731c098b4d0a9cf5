#include "platform/host_info.h"

#include <cstdio>

namespace ardvix::platform {

std::string DottedQuad(uint32_t a) {
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", (a >> 24) & 0xFFu, (a >> 16) & 0xFFu,
                (a >> 8) & 0xFFu, a & 0xFFu);
  return text;
}

}  // namespace ardvix::platform
