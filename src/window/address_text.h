#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace ardvix::window {

// The four numbers an address field shows for an address text: the parts between the
// dots, each read by its leading decimal digits (an optional sign and leading blanks
// allowed, no digits gives 0), keeping only the low 8 bits. "256.1.2.3" gives 0,1,2,3.
std::array<uint8_t, 4> AddressTextToParts(std::string_view text);

}  // namespace ardvix::window
