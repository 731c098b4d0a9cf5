#include "nettools/ping_reply_parser.h"

#include "nettools/ping_echo_request.h"

namespace ardvix::nettools {

std::optional<EchoReplyFields> ParseEchoReply(std::span<const uint8_t> datagram) {
  constexpr size_t kMinIpv4Header = 20;
  constexpr uint8_t kProtocolIcmp = 1;
  if (datagram.size() < kMinIpv4Header) return std::nullopt;
  if ((datagram[0] >> 4) != 4) return std::nullopt;
  const size_t header = size_t{datagram[0] & 0x0Fu} * 4;
  if (header < kMinIpv4Header || header > datagram.size()) return std::nullopt;
  if (datagram[9] != kProtocolIcmp) return std::nullopt;

  const std::span<const uint8_t> icmp = datagram.subspan(header);
  if (icmp.size() < kEchoSendTimeOffset + 4) return std::nullopt;
  if (icmp[0] != 0 || icmp[1] != 0) return std::nullopt;  // echo reply only

  EchoReplyFields fields;
  fields.ttl = datagram[8];
  fields.identifier = static_cast<uint16_t>(icmp[4] | (icmp[5] << 8));
  fields.sequence = static_cast<uint16_t>(icmp[6] | (icmp[7] << 8));
  for (size_t i = 0; i < 4; ++i) {
    fields.echoed_send_time |= uint32_t{icmp[kEchoSendTimeOffset + i]} << (8 * i);
  }
  return fields;
}

}  // namespace ardvix::nettools
