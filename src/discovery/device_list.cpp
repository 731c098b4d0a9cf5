#include "discovery/device_list.h"

#include <cctype>
#include <vector>

namespace ardvix::discovery {

std::string DeviceList::Key(std::string_view text) {
  std::string key(text.substr(0, kComparedChars));
  for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

void DeviceList::AddDeviceRow(const protocol::DeviceRecord& record) {
  if (FindRowByText(kMacColumn, record.macAddress) >= 0) return;
  const auto cells = record.Cells();
  const int row = window_.AppendRow(list_id_, std::vector<std::string>(cells.begin(), cells.end()));
  first_row_by_mac_.emplace(Key(record.macAddress), row);
}

int DeviceList::FindRowByText(int column, std::string_view text) const {
  // A text longer than 17 characters never equals a cell cut to 17.
  if (text.size() > kComparedChars) return -1;
  if (column == kMacColumn) {
    const auto it = first_row_by_mac_.find(Key(text));
    return it == first_row_by_mac_.end() ? -1 : it->second;
  }
  const std::string wanted = Key(text);
  const int rows = RowCount();
  for (int row = 0; row < rows; ++row) {
    if (Key(window_.CellText(list_id_, row, column)) == wanted) return row;
  }
  return -1;
}

void DeviceList::DeleteAllRows() {
  window_.DeleteAllRows(list_id_);
  first_row_by_mac_.clear();
}

std::array<std::string, 7> DeviceList::RowTexts(int row) const {
  std::array<std::string, 7> texts;
  if (row < 0 || row >= RowCount()) return texts;
  for (int column = 0; column < 7; ++column)
    texts[column] = window_.CellText(list_id_, row, column);
  return texts;
}

}  // namespace ardvix::discovery
