#pragma once

#include <string_view>

namespace veltrin {

// True for one character 0-9, A-F or a-f; false for anything else, the empty text included.
bool IsHexDigit(std::string_view text);

// Whether the characters after an "L" form an address: characters 1, 2, 3 and the last character must all
// be hexadecimal digits. Three digits pass (the last is the third); fewer fail.
bool IsHexAddress(std::string_view text);

}  // namespace veltrin
