#pragma once

#include <string>
#include <string_view>

namespace veltrin {

// The commands speak UTF-8; both windows' toolkits hold their texts in UTF-16. A sequence that is not valid in
// its encoding (a lone surrogate that a file name on Windows may hold, a cut UTF-8 sequence) becomes U+FFFD.
std::u16string Utf16FromUtf8(std::string_view utf8);
std::string Utf8FromUtf16(std::u16string_view utf16);

}  // namespace veltrin
