#include "window/saved_list.h"

#include <cstdio>

#include "window/append_file.h"

namespace ardvix::window {

namespace {
// The unit characters of the stamp in CP949.
constexpr const char* kYear = "\xB3\xE2";    // 년
constexpr const char* kMonth = "\xBF\xF9";   // 월
constexpr const char* kDay = "\xC0\xCF";     // 일
constexpr const char* kHour = "\xBD\xC3";    // 시
constexpr const char* kMinute = "\xBA\xD0";  // 분

constexpr const char* kNothingToSave = "저장할 내용이 없습니다.";

}  // namespace

std::string SaveTimeStamp(const platform::LocalDateTime& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%d%s_%02d%s%02d%s_%02d%s%02d%s", t.year, kYear, t.month, kMonth,
                t.day, kDay, t.hour, kHour, t.minute, kMinute);
  return text;
}

std::string SavedListLine(const std::string& stamp, const std::array<std::string, 7>& row) {
  std::string record = stamp;
  for (int column = 0; column < 5; ++column) {
    record += '=';
    record.append(row[column], 0, kSavedFieldChars);
  }
  // Cut to the block, or padded with zero bytes: the first one ends the text.
  record.resize(kSavedRecordBytes, '\0');
  return record + "\r\n";
}

void SaveDeviceList(const discovery::DeviceList& list, const platform::Clock& clock,
                    protocol::OperatorOutput& out) {
  const std::string stamp = SaveTimeStamp(clock.LocalTimeNow());
  AppendFile file(kSavedListFile);
  if (!file.ok()) {
    out.ShowMessage(std::string(kSavedListFile) + " could not be opened: " + file.error());
    return;
  }
  const int rows = list.RowCount();
  if (rows == 0) {
    out.ShowMessage(kNothingToSave);
    return;
  }
  // The whole save goes out in one append, so it lands whole or not at all.
  std::string lines;
  lines.reserve(static_cast<size_t>(rows) * kSavedLineBytes);
  for (int row = 0; row < rows; ++row) lines += SavedListLine(stamp, list.RowTexts(row));
  const std::string error = file.AppendWhole(lines);
  if (!error.empty()) {
    out.ShowMessage(std::string(kSavedListFile) + " could not be written: " + error);
  }
}

}  // namespace ardvix::window
