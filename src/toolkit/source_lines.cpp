#include "toolkit/source_lines.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace veltrin {

namespace {

constexpr char kCarriageReturn = '\r';

// The next carriage return at or after `from`, or `end`.
const char* NextCarriageReturn(const char* from, const char* end) {
    const auto* found =
        static_cast<const char*>(std::memchr(from, kCarriageReturn, static_cast<std::size_t>(end - from)));
    return found != nullptr ? found : end;
}

}  // namespace

std::size_t SourceLines::CountLines(std::string_view bytes) {
    const char* const end = bytes.data() + bytes.size();
    std::size_t count = 0;
    for (const char* found = NextCarriageReturn(bytes.data(), end); found != end;
         found = NextCarriageReturn(found + 1, end)) {
        ++count;
    }
    return count + (bytes.empty() || bytes.back() == kCarriageReturn ? 0 : 1);
}

SourceLines::SourceLines(std::unique_ptr<char[]> bytes, std::size_t size) : bytes_(std::move(bytes)), size_(size) {
    IndexLines();
}

SourceLines::SourceLines(std::string_view bytes)
    : bytes_(std::make_unique_for_overwrite<char[]>(bytes.size())), size_(bytes.size()) {
    std::ranges::copy(bytes, bytes_.get());
    IndexLines();
}

void SourceLines::IndexLines() {
    if (size_ == 0) {
        return;
    }
    const char* const begin = bytes_.get();
    const char* const end = begin + size_;
    // Room for the lines of a listing of some forty bytes a line at once, so that the index of millions of lines is
    // not moved to a larger array again and again; it grows only for shorter lines.
    constexpr std::size_t kShortLine = 32;
    lineEnds_.reserve(size_ / kShortLine + 1);
    const char* lineStart = begin;
    while (lineStart < end) {
        const char* const lineEnd = NextCarriageReturn(lineStart, end);
        lineEnds_.push_back(static_cast<std::size_t>(lineEnd - begin));
        if (lineEnd == end) {
            break;
        }
        lineStart = lineEnd + 1;
        if (lineStart != end && *lineStart == '\n') {
            ++lineStart;
        }
    }
}

std::string_view SourceLineAt(const SourceLines& sourceLines, SourceIndex sourceIndex) {
    if (sourceIndex >= sourceLines.size()) {
        throw SourceIndexError("source line " + std::to_string(sourceIndex) + " does not exist");
    }
    return sourceLines[sourceIndex];
}

}  // namespace veltrin
