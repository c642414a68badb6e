#include "window/quoted_names.h"

#include <optional>
#include <utility>

namespace veltrin {

namespace {

// A message box wraps its text at about 500 pixels, but a name has no spaces to wrap at and widens the box to
// its own width. At the usual 9 or 10 point desktop fonts a path averages about 7 pixels a character: 70 of them
// fit within that width.
constexpr std::size_t kLongestName = 70;
constexpr std::size_t kKeptStart = 35;
constexpr std::size_t kKeptEnd = kLongestName - kKeptStart - 1;  // the ellipsis takes one
constexpr char16_t kEllipsis = u'\u2026';

bool IsSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r') || c == u'\u00A0'; }

// What may follow the quote that closes a name: the end of the message, a space or punctuation.
bool EndsName(std::u16string_view message, std::size_t after) {
    return after == message.size() || IsSpace(message[after]) ||
           std::u16string_view(u":;,.!?)").find(message[after]) != std::u16string_view::npos;
}

// The first name quoted at or after from, as its start and end (the quotes excluded). The opening quote starts the
// message or follows a space, and the closing one is the next quote on the line that ends a name: a quote within a
// name (a file name may have one) stays part of it, and a quote that pairs with no other is left as text.
std::optional<std::pair<std::size_t, std::size_t>> NextQuotedName(std::u16string_view message, std::size_t from) {
    for (std::size_t open = message.find(u'"', from); open != std::u16string_view::npos;
         open = message.find(u'"', open + 1)) {
        if (open != 0 && !IsSpace(message[open - 1])) {
            continue;
        }
        for (std::size_t close = open + 1; close < message.size() && message[close] != u'\n'; ++close) {
            if (message[close] == u'"' && EndsName(message, close + 1)) {
                return std::pair{open + 1, close};
            }
        }
    }
    return std::nullopt;
}

std::u16string ShortenedName(std::u16string_view name, const CharacterBoundary& isBoundary) {
    std::size_t startEnd = kKeptStart;
    while (startEnd > 0 && !isBoundary(name, startEnd)) {
        --startEnd;
    }
    std::size_t endStart = name.size() - kKeptEnd;
    while (endStart < name.size() && !isBoundary(name, endStart)) {
        ++endStart;
    }
    return std::u16string(name.substr(0, startEnd)) + kEllipsis + std::u16string(name.substr(endStart));
}

}  // namespace

std::u16string ShortenQuotedNames(std::u16string_view message, const CharacterBoundary& isBoundary) {
    std::u16string shown;
    std::size_t copied = 0;  // the message up to here is in shown
    for (auto name = NextQuotedName(message, 0); name; name = NextQuotedName(message, name->second + 1)) {
        const auto [start, end] = *name;
        if (end - start > kLongestName) {
            shown.append(message.substr(copied, start - copied));
            shown += ShortenedName(message.substr(start, end - start), isBoundary);
            copied = end;
        }
    }
    return shown.append(message.substr(copied));
}

}  // namespace veltrin
