#include "toolkit/hex_address.h"

#include <cstddef>
#include <string>

namespace veltrin {

namespace {

std::string_view CharacterAt(std::string_view text, std::size_t position) {
    return position < text.size() ? text.substr(position, 1) : std::string_view{};
}

}  // namespace

bool IsHexDigit(std::string_view text) {
    // Callers pass one character or none; the test is a text comparison, so it also settles longer texts.
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return (upper >= "A" && upper <= "F") || (upper >= "0" && upper <= "9");
}

bool IsHexAddress(std::string_view text) {
    const std::string_view last = text.empty() ? std::string_view{} : text.substr(text.size() - 1);
    return IsHexDigit(CharacterAt(text, 0)) && IsHexDigit(CharacterAt(text, 1)) && IsHexDigit(CharacterAt(text, 2)) &&
           IsHexDigit(last);
}

}  // namespace veltrin
