#include "toolkit/source_lines.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

namespace veltrin {

namespace {

constexpr char kCarriageReturn = '\r';

// Calls `found` with the offset of every carriage return in the bytes, in order. A listing has one every forty
// bytes or so, too often for a call of memchr per line: the bytes are looked at eight at a time instead.
template <typename Found>
void ForEachCarriageReturn(std::string_view bytes, Found found) {
    std::size_t offset = 0;
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kEachByte = 0x0101010101010101U;
        constexpr std::uint64_t kLowBits = 0x7F7F7F7F7F7F7F7FU;
        for (; bytes.size() - offset >= sizeof(std::uint64_t); offset += sizeof(std::uint64_t)) {
            std::uint64_t word = 0;
            std::memcpy(&word, bytes.data() + offset, sizeof word);
            const std::uint64_t zeroWhereCr = word ^ (kEachByte * static_cast<std::uint8_t>(kCarriageReturn));
            // The top bit of each byte that is zero, and of no other: no carry crosses from one byte to the next.
            std::uint64_t crs = ~(((zeroWhereCr & kLowBits) + kLowBits) | zeroWhereCr | kLowBits);
            for (; crs != 0; crs &= crs - 1) {
                found(offset + static_cast<std::size_t>(std::countr_zero(crs)) / 8);
            }
        }
    }
    for (; offset < bytes.size(); ++offset) {
        if (bytes[offset] == kCarriageReturn) {
            found(offset);
        }
    }
}

}  // namespace

SourceLines::SourceLines(std::unique_ptr<char[]> bytes, std::size_t size, std::size_t maxLines)
    : bytes_(std::move(bytes)), size_(size) {
    IndexLines(maxLines);
}

void SourceLines::IndexLines(std::size_t maxLines) {
    if (size_ > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("a listing file of " + std::to_string(size_) + " bytes is too large");
    }
    // Room for the lines of a listing of some forty bytes a line at once, so that the index of millions of lines is
    // not moved to a larger array again and again; it grows only for shorter lines.
    constexpr std::size_t kShortLine = 32;
    lineEnds_.reserve(std::min(size_ / kShortLine + 1, maxLines));
    const std::string_view bytes(bytes_.get(), size_);
    const auto lineEndsAt = [this, maxLines](std::size_t offset) {
        if (lineEnds_.size() < maxLines) {
            lineEnds_.push_back(static_cast<std::uint32_t>(offset));
        }
        ++linesInFile_;
    };
    std::size_t nextLineStart = 0;
    ForEachCarriageReturn(bytes, [&](std::size_t offset) {
        lineEndsAt(offset);
        nextLineStart = offset + (bytes.substr(offset, 2) == "\r\n" ? 2 : 1);
    });
    // Text after the last terminator is a line of its own, one without a terminator.
    if (nextLineStart < size_) {
        lineEndsAt(size_);
    }
}

std::string_view SourceLineAt(const SourceLines& sourceLines, SourceIndex sourceIndex) {
    if (sourceIndex >= sourceLines.size()) {
        throw SourceIndexError("source line " + std::to_string(sourceIndex) + " does not exist");
    }
    return sourceLines[sourceIndex];
}

}  // namespace veltrin
