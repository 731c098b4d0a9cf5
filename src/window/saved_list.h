// The Save command: appends the device list to "cam.lst" in the current directory, one
// 98-byte line per row, each stamped with the date and time of the save. The file's text is
// in the Korean code page CP949. UI thread only.
#pragma once

#include <array>
#include <string>

#include "discovery/device_list.h"
#include "platform/clock.h"
#include "protocol/operator_output.h"

namespace ardvix::window {

inline constexpr const char* kSavedListFile = "cam.lst";
inline constexpr size_t kSavedRecordBytes = 96;  // before CR LF
inline constexpr size_t kSavedLineBytes = 98;
inline constexpr size_t kSavedFieldChars = 17;

// "2011년_03월02일_09시05분" in CP949 bytes: two digits for everything but the year.
std::string SaveTimeStamp(const platform::LocalDateTime& t);

// One line of the file: the stamp and "=<cell>" for columns 0 to 4 (each cell cut to 17
// bytes), cut to 96 bytes or ended by a zero byte and zero filler, then CR LF.
std::string SavedListLine(const std::string& stamp, const std::array<std::string, 7>& row);

// Appends one line per row of list, in list order, all with the time of this call. An empty
// list, or a file that cannot be opened or written, is reported in a message box; a failed
// write leaves the file as it was.
void SaveDeviceList(const discovery::DeviceList& list, const platform::Clock& clock,
                    protocol::OperatorOutput& out);

}  // namespace ardvix::window
