// What an edit or an address field holds after the operator has typed into it.
#pragma once

#include <optional>
#include <string>

#include "platform/window.h"

namespace ardvix::headless {

// The text an edit ends up with when typed: the first max_chars characters (UTF-8 code
// points; -1 for no limit), ASCII letters in capitals when upper_case.
std::string TypedText(const std::string& utf8, int max_chars, bool upper_case);

// The parts of an address field after typing "a.b.c.d", where any part may be left blank
// ("10.0..5"); "" leaves all four blank. A number above 255 is corrected to 255 as the field
// does. nullopt for what cannot be typed: more than four parts, non-digits, over 3 digits.
std::optional<platform::IpAddressParts> TypedIpAddress(const std::string& dotted_with_blanks);

}  // namespace ardvix::headless
