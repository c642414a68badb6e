#include "toolkit/text.h"

#include <algorithm>
#include <cctype>

namespace veltrin {

namespace {

bool SameUpperCased(char textCharacter, char upperCharacter) { return UpperCase(textCharacter) == upperCharacter; }

}  // namespace

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return UpperCase(c); });
    return upper;
}

bool EqualsUpperCased(std::string_view text, std::string_view upperKey) {
    return std::equal(text.begin(), text.end(), upperKey.begin(), upperKey.end(), SameUpperCased);
}

bool ContainsUpperCased(std::string_view text, std::string_view upperPiece) {
    return std::search(text.begin(), text.end(), upperPiece.begin(), upperPiece.end(), SameUpperCased) != text.end() ||
           upperPiece.empty();
}

std::string QuotedText(std::string_view utf8) {
    constexpr char kHexDigits[] = "0123456789ABCDEF";
    std::string quoted = "\"";
    for (const char character : utf8) {
        const auto byte = static_cast<unsigned char>(character);
        if (byte < 0x20 || byte == 0x7F) {
            quoted.append("\\x").append(1, kHexDigits[byte >> 4]).append(1, kHexDigits[byte & 0xF]);
        } else {
            quoted += character;
        }
    }
    return quoted + "\"";
}

std::string MidSentence(std::string text) {
    // Some systems end their descriptions with a full stop and a line break.
    while (!text.empty() && (std::isspace(static_cast<unsigned char>(text.back())) != 0 || text.back() == '.')) {
        text.pop_back();
    }
    // "Permission denied" reads "permission denied" there, but "I/O error" stays as it is.
    if (text.size() > 1 && std::isupper(static_cast<unsigned char>(text[0])) != 0 &&
        std::islower(static_cast<unsigned char>(text[1])) != 0) {
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    }
    return text;
}

}  // namespace veltrin
