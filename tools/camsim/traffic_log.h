// The traffic log: one line per datagram received or sent, with its bytes in hex, so that
// tests can check what went over the wire. Line forms (fields separated by one blank):
//
//   <time> rx <src ip:port> > <dst ip>:7005 len=<n> cmd=<word or -> hex=<bytes>
//   <time> tx <device ip>:7005 > <dst ip:port> len=<n> mac=<device mac> note=<why> hex=<bytes>
//   <time> note <free text>
//
// <time> is seconds since the epoch with microseconds. Lines are buffered and flushed
// after each batch, so a burst of answers is not slowed by the log.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

namespace camsim {

class TrafficLog {
 public:
  TrafficLog() = default;
  ~TrafficLog();
  TrafficLog(const TrafficLog&) = delete;
  TrafficLog& operator=(const TrafficLog&) = delete;

  // Appends to path ("-" for standard output); returns false when it cannot be opened.
  bool Open(const std::string& path);

  void Received(uint32_t source_ip, uint16_t source_port, uint32_t destination_ip,
                std::span<const uint8_t> datagram, size_t real_length);
  void Sent(uint32_t source_ip, uint32_t destination_ip, uint16_t destination_port,
            std::string_view mac, std::string_view note, std::span<const uint8_t> datagram);
  void Note(std::string_view text);
  void Flush();

 private:
  void Stamp();
  std::FILE* file_ = nullptr;
};

}  // namespace camsim
