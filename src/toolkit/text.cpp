#include "toolkit/text.h"

#include <algorithm>

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

}  // namespace veltrin
