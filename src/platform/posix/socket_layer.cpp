#include "platform/posix/socket_layer.h"

#include <sys/socket.h>
#include <unistd.h>

namespace ardvix::platform {

bool SocketLayerStartup() {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

}  // namespace ardvix::platform
