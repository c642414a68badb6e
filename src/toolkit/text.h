#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace veltrin {

// Listing text is compared byte by byte; only the ASCII letters a to z have an upper case.
constexpr char UpperCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperCase(std::string_view text);

// Whether the text, upper-cased, equals a key that is already upper case.
bool EqualsUpperCased(std::string_view text, std::string_view upperKey);

// Whether the text, upper-cased, contains a piece that is already upper case.
bool ContainsUpperCased(std::string_view text, std::string_view upperPiece);

// Characters from a 0-based position; a range that runs past the end is cut there, one that starts past the
// end is empty.
constexpr std::string_view Slice(std::string_view text, std::size_t start, std::size_t count = std::string_view::npos) {
    return start >= text.size() ? std::string_view{} : text.substr(start, count);
}

// A text as the messages show it, a name or a line of a listing: in double quotes, with each control character
// written as \xHH, so that it can neither break a message into lines nor hide part of itself.
std::string QuotedText(std::string_view utf8);

// A system's description of an error as the middle of a sentence: no full stop or line break at its end, and a
// lower-case first letter unless the first word is written in capitals.
std::string MidSentence(std::string text);

}  // namespace veltrin
