#include "protocol/auth_socket.h"

#include <array>

#include "protocol/answer_datagram.h"
#include "protocol/notifications.h"

namespace ardvix::protocol {

uint32_t CAuthSocket::NotificationFor(const std::string& answer) {
  if (answer == "OK") return WM_AUTH_OK;
  if (answer == "NO") return WM_AUTH_FAIL;
  return WM_AUTH_ERROR;
}

void CAuthSocket::OnReceive() {
  // A failed read leaves the buffer zeroed, so its text is empty: an error answer.
  std::array<uint8_t, 300> buffer{};
  const platform::ReceiveResult r = Receive(buffer);
  const size_t stored = r.bytes > 0 ? static_cast<size_t>(r.bytes) : 0;
  last_answer_ = r.ok() ? TextUpToZero(buffer, 0, stored) : std::string();
  Report(NotificationFor(last_answer_));
}

uint32_t CAuthSocket::notification() const { return WM_AUTH_ERROR; }

}  // namespace ardvix::protocol
