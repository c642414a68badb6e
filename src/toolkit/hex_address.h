#pragma once

#include <string_view>

namespace veltrin {

// True for 0-9, A-F and a-f.
constexpr bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

// Whether the characters after an "L" form an address: characters 1, 2, 3 and the last character must all
// be hexadecimal digits. Three digits pass (the last is the third); fewer fail.
constexpr bool IsHexAddress(std::string_view text) {
    return text.size() >= 3 && IsHexDigit(text[0]) && IsHexDigit(text[1]) && IsHexDigit(text[2]) &&
           IsHexDigit(text.back());
}

}  // namespace veltrin
