// The device list (control 1005): one row per device, appended in arrival order, found by
// MAC address. An index keeps the duplicate check independent of the number of rows; every
// row change goes through this class so the index always matches the list.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/window.h"
#include "protocol/device_record.h"

namespace ardvix::discovery {

class DeviceList {
 public:
  static constexpr int kMacColumn = 1;
  static constexpr size_t kComparedChars = 17;

  DeviceList(platform::Window& window, int list_id) : window_(window), list_id_(list_id) {}

  // Appends the record unless its MAC address is listed already (ignoring letter case).
  void AddDeviceRow(const protocol::DeviceRecord& record);
  // Index of the first row whose text in `column` (at most its first 17 characters) equals
  // `text`, ignoring the case of ASCII letters; -1 when there is none.
  int FindRowByText(int column, std::string_view text) const;
  void DeleteAllRows();
  int RowCount() const { return window_.RowCount(list_id_); }
  // The seven texts of a row; all empty when row names no row.
  std::array<std::string, 7> RowTexts(int row) const;

 private:
  static std::string Key(std::string_view text);

  platform::Window& window_;
  int list_id_;
  std::unordered_map<std::string, int> first_row_by_mac_;
};

}  // namespace ardvix::discovery
