#include "window/append_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

namespace ardvix::window {

namespace {
// The size of a regular file; nothing for a device, a pipe or a missing file.
std::optional<std::uintmax_t> RegularFileSize(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) return std::nullopt;
  return size;
}
}  // namespace

AppendFile::AppendFile(std::string path) : path_(std::move(path)) {
  file_ = std::fopen(path_.c_str(), "a+");
  if (!file_) {
    error_ = std::strerror(errno);
    return;
  }
  // Unbuffered, so the bytes go to the system in as few writes as it accepts and a failure
  // shows up in AppendWhole rather than at close.
  std::setvbuf(file_, nullptr, _IONBF, 0);
}

AppendFile::~AppendFile() {
  if (file_) std::fclose(file_);
}

std::string AppendFile::AppendWhole(std::string_view bytes) {
  if (!file_) return error_;
  const std::optional<std::uintmax_t> size_before = RegularFileSize(path_);
  errno = 0;
  const bool written =
      std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size() && std::fflush(file_) == 0;
  if (written) return {};
  const int error = errno != 0 ? errno : EIO;
  if (size_before) {
    std::error_code ignored;
    std::filesystem::resize_file(path_, *size_before, ignored);
  }
  return std::strerror(error);
}

}  // namespace ardvix::window
