#include "app/listing_file.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <ios>
#include <string>
#include <system_error>

namespace veltrin {

namespace fs = std::filesystem;

namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';

// Reads every byte of an open file. The size on disk sizes the buffer, but the end of the file decides:
// a file that shrinks or grows while it is read is read as far as it goes.
bool ReadWholeFile(std::ifstream& in, std::uintmax_t sizeHint, std::string& content) {
    constexpr std::size_t kChunk = std::size_t{1} << 16;
    std::size_t filled = 0;
    if (sizeHint > 0 && sizeHint < content.max_size()) {
        content.resize(static_cast<std::size_t>(sizeHint));
        in.read(content.data(), static_cast<std::streamsize>(content.size()));
        filled = static_cast<std::size_t>(in.gcount());
    }
    while (!in.eof() && !in.bad()) {
        content.resize(filled + kChunk);
        in.read(content.data() + filled, static_cast<std::streamsize>(kChunk));
        filled += static_cast<std::size_t>(in.gcount());
    }
    content.resize(filled);
    return !in.bad();
}

// Cuts the file's bytes into lines: a line ends at CR, a CR LF pair is one terminator, and a bare LF is part
// of the line. Line n goes to element n; element 0 is created with the first line.
void SplitLines(const std::string& content, SourceLines& sourceLines) {
    if (content.empty()) {
        return;
    }
    const char* const begin = content.data();
    const char* const end = begin + content.size();
    const auto terminators = static_cast<std::size_t>(std::count(begin, end, kCarriageReturn));
    sourceLines.reserve(sourceLines.size() + terminators + 2);
    sourceLines.emplace_back();

    const char* lineStart = begin;
    while (lineStart < end) {
        const auto* found = static_cast<const char*>(
            std::memchr(lineStart, kCarriageReturn, static_cast<std::size_t>(end - lineStart)));
        const char* lineEnd = found != nullptr ? found : end;
        sourceLines.emplace_back(lineStart, lineEnd);
        if (found == nullptr) {
            break;
        }
        lineStart = found + 1;
        if (lineStart < end && *lineStart == kLineFeed) {
            ++lineStart;
        }
    }
}

}  // namespace

bool LoadListing(const fs::path& fileName, SourceLines& sourceLines) {
    sourceLines.clear();
    if (fileName.empty()) {
        return false;
    }
    std::error_code error;
    const fs::file_status status = fs::status(fileName, error);
    if (error || fs::is_directory(status)) {
        return false;
    }
    std::ifstream in(fileName, std::ios::in | std::ios::binary);
    if (!in.is_open()) {
        return false;
    }
    const std::uintmax_t sizeHint = fs::is_regular_file(status) ? fs::file_size(fileName, error) : 0;

    std::string content;
    const bool complete = ReadWholeFile(in, error ? 0 : sizeHint, content);
    SplitLines(content, sourceLines);
    return complete;
}

fs::path PathFromUtf8(const std::string& fileName) { return {std::u8string(fileName.begin(), fileName.end())}; }

}  // namespace veltrin
