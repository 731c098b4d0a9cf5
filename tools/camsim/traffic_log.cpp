#include "traffic_log.h"

#include <chrono>
#include <string>

#include "ipv4_text.h"

namespace camsim {
namespace {

void WriteHex(std::FILE* file, std::span<const uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (uint8_t byte : bytes) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0x0F];
  }
  std::fputs(hex.c_str(), file);
}

// Keeps a log line on one line whatever the note holds.
std::string OneWord(std::string_view text) {
  std::string word;
  for (char c : text) word += (c == ' ' || c == '\n' || c == '\r' || c == '\t') ? '_' : c;
  return word.empty() ? "-" : word;
}

}  // namespace

TrafficLog::~TrafficLog() {
  if (file_ != nullptr && file_ != stdout) std::fclose(file_);
}

bool TrafficLog::Open(const std::string& path) {
  file_ = path == "-" ? stdout : std::fopen(path.c_str(), "a");
  return file_ != nullptr;
}

void TrafficLog::Stamp() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
  std::fprintf(file_, "%lld.%06lld ", static_cast<long long>(micros / 1000000),
               static_cast<long long>(micros % 1000000));
}

void TrafficLog::Received(uint32_t source_ip, uint16_t source_port, uint32_t destination_ip,
                          std::span<const uint8_t> datagram, size_t real_length) {
  if (file_ == nullptr) return;
  std::string word;
  for (size_t i = 0; i < datagram.size() && i < 9; ++i) {
    const char c = static_cast<char>(datagram[i]);
    word += (c >= 'a' && c <= 'z') ? c : '?';
  }
  Stamp();
  std::fprintf(file_, "rx %s:%u > %s:7005 len=%zu cmd=%s hex=", FormatIpv4(source_ip).c_str(),
               source_port, FormatIpv4(destination_ip).c_str(), real_length,
               word.empty() ? "-" : word.c_str());
  WriteHex(file_, datagram);
  std::fputc('\n', file_);
}

void TrafficLog::Sent(uint32_t source_ip, uint32_t destination_ip, uint16_t destination_port,
                      std::string_view mac, std::string_view note,
                      std::span<const uint8_t> datagram) {
  if (file_ == nullptr) return;
  Stamp();
  std::fprintf(file_,
               "tx %s:7005 > %s:%u len=%zu mac=%s note=%s hex=", FormatIpv4(source_ip).c_str(),
               FormatIpv4(destination_ip).c_str(), destination_port, datagram.size(),
               OneWord(mac).c_str(), OneWord(note).c_str());
  WriteHex(file_, datagram);
  std::fputc('\n', file_);
}

void TrafficLog::Note(std::string_view text) {
  if (file_ == nullptr) return;
  Stamp();
  std::fprintf(file_, "note %s\n", std::string(text).c_str());
}

void TrafficLog::Flush() {
  if (file_ != nullptr) std::fflush(file_);
}

}  // namespace camsim
