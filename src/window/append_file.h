// A file opened for appending, as the saved list uses it: created when missing, and every
// append lands whole or not at all, so a full disk or a size limit never leaves part of a
// line behind.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace ardvix::window {

class AppendFile {
 public:
  // Opens (creating) path for appending; see ok() and error().
  explicit AppendFile(std::string path);
  ~AppendFile();  // closes the file
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;

  bool ok() const { return file_ != nullptr; }
  // Why opening failed, as the system words it; empty when it did not fail.
  const std::string& error() const { return error_; }

  // Writes bytes at the end of the file and flushes them to the system. On failure the file
  // is cut back to its size before the call (when it is a regular file) and the reason is
  // returned; an empty result means everything was written.
  std::string AppendWhole(std::string_view bytes);

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
  std::string error_;
};

}  // namespace ardvix::window
