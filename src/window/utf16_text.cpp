#include "window/utf16_text.h"

#include <cstddef>

namespace veltrin {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// The code point that starts at utf8[at], and its length in bytes; an invalid sequence is one U+FFFD a byte.
std::pair<char32_t, std::size_t> DecodeUtf8(std::string_view utf8, std::size_t at) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    if (lead < 0x80) {
        return {lead, 1};
    }
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || at + length > utf8.size()) {
        return {kReplacement, 1};
    }
    char32_t c = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(utf8[at + i]);
        if ((next & 0xC0) != 0x80) {
            return {kReplacement, 1};
        }
        c = (c << 6) | (next & 0x3F);
    }
    // An overlong form, a surrogate or a code point past U+10FFFF is not UTF-8.
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || IsSurrogate(c) || c > 0x10FFFF) {
        return {kReplacement, 1};
    }
    return {c, length};
}

void AppendUtf8(std::string& utf8, char32_t c) {
    if (c < 0x80) {
        utf8 += static_cast<char>(c);
        return;
    }
    const std::size_t length = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    constexpr unsigned char kLeads[] = {0, 0, 0xC0, 0xE0, 0xF0};
    std::string bytes(length, '\0');
    for (std::size_t i = length - 1; i > 0; --i, c >>= 6) {
        bytes[i] = static_cast<char>(0x80 | (c & 0x3F));
    }
    bytes[0] = static_cast<char>(kLeads[length] | c);
    utf8 += bytes;
}

}  // namespace

std::u16string Utf16FromUtf8(std::string_view utf8) {
    std::u16string utf16;
    for (std::size_t at = 0; at < utf8.size();) {
        const auto [c, length] = DecodeUtf8(utf8, at);
        at += length;
        if (c >= 0x10000) {
            utf16 += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            utf16 += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            utf16 += static_cast<char16_t>(c);
        }
    }
    return utf16;
}

std::string Utf8FromUtf16(std::u16string_view utf16) {
    std::string utf8;
    for (std::size_t at = 0; at < utf16.size(); ++at) {
        char32_t c = utf16[at];
        if (c >= 0xD800 && c <= 0xDBFF && at + 1 < utf16.size() && utf16[at + 1] >= 0xDC00 && utf16[at + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[++at] - 0xDC00);
        } else if (IsSurrogate(c)) {
            c = kReplacement;
        }
        AppendUtf8(utf8, c);
    }
    return utf8;
}

}  // namespace veltrin
