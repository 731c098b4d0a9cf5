#pragma once

namespace ardvix::platform {

// Linux has no socket library to start; this checks that an IPv4 datagram socket can be
// created at all, so that a system without IPv4 sockets still gets the start-up message.
bool SocketLayerStartup();

}  // namespace ardvix::platform
