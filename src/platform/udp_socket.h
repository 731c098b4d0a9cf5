// UDP datagram sockets with a readable callback, the stand-in for an asynchronous socket.
//
// Threads: a socket is created, used and closed on the UI thread, and its readable
// callback runs there, from the event loop, never by busy polling.
// Readable callback: called while a datagram is waiting. It is expected to read one
// datagram; while more wait, it is called again (also from a nested event loop that the
// callback itself runs, for example by showing a message box). Closing the socket, or
// destroying it, from inside its own callback is safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace ardvix::platform {

enum class ReceiveError {
  kNone,
  kWouldBlock,  // no datagram was waiting
  kTruncated,   // the datagram was longer than the buffer; the buffer holds its start
  kOther,       // see error_code
};

struct ReceiveResult {
  int bytes = -1;  // bytes stored in the buffer; -1 when the receive failed
  ReceiveError error = ReceiveError::kOther;
  int error_code = 0;          // the system's error number for kOther (errno on Linux)
  std::string source_address;  // dotted decimal
  uint16_t source_port = 0;
  bool ok() const { return error == ReceiveError::kNone; }
};

class UdpSocket {
 public:
  virtual ~UdpSocket() = default;  // closes the socket if it is open

  // Creates a non-blocking datagram socket bound to any local address and a port that the
  // system chooses, watched for readability. Closes an open socket first.
  virtual bool Open() = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  virtual uint16_t LocalPort() const = 0;  // 0 when closed

  virtual bool SetBroadcast(int on) = 0;
  // Sends one datagram. To 255.255.255.255 it leaves through every up, broadcast-capable,
  // non-loopback IPv4 interface. Returns the bytes sent or -1.
  virtual int SendTo(std::span<const uint8_t> frame, const std::string& address, uint16_t port) = 0;
  // Receives one datagram into buffer without blocking. Datagrams kept by WaitDraining
  // come first, in arrival order.
  virtual ReceiveResult Receive(std::span<uint8_t> buffer) = 0;

  // Blocks the calling thread for ms milliseconds, as a sleep does, but keeps every
  // datagram that arrives meanwhile: they are moved out of the system's receive buffer
  // into the socket's own queue, so that a burst longer than that buffer is not dropped.
  // Nothing is handled during the wait and no callback runs; afterwards the readable
  // callback keeps being called while kept datagrams remain, one Receive each. On a
  // closed socket it is a plain sleep. Closing the socket discards what it kept.
  virtual void WaitDraining(uint32_t ms) = 0;

  virtual void SetReadableCallback(std::function<void()> on_readable) = 0;
};

class UdpSocketFactory {
 public:
  virtual ~UdpSocketFactory() = default;
  virtual std::unique_ptr<UdpSocket> CreateUdpSocket() = 0;
};

}  // namespace ardvix::platform
