#include "app/listing_file.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <system_error>

#include "app/file_platform.h"
#include "app/message_text.h"

namespace veltrin {

namespace fs = std::filesystem;

namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';

// The lines of the file's bytes: one for each CR, and one more for text after the last CR.
std::size_t LineCount(const std::string& content) {
    const auto terminators = static_cast<std::size_t>(std::count(content.begin(), content.end(), kCarriageReturn));
    return terminators + (content.empty() || content.back() == kCarriageReturn ? 0 : 1);
}

// Reads an ordinary file whole, refusing one too large to hold as a listing. Anything else (a pipe, a device)
// is refused before it is opened, and, should it appear there meanwhile, before a byte is read from it.
bool ReadSource(const fs::path& fileName, std::string& content, std::string& failureReason) {
    std::error_code error;
    const fs::file_status status = fs::status(fileName, error);
    file_platform::OpenFile file;
    file_platform::OpenedFacts facts;
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        facts.ordinary = false;
    } else if (error = file_platform::OpenToRead(fileName, file, facts); error) {
        failureReason = ErrorFragment(error) + ".";
        return false;
    }
    if (!facts.ordinary) {
        failureReason = "not an ordinary file.";
        return false;
    }
    if (facts.size > kMaxSourceBytes) {
        failureReason = "too large: " + std::to_string(facts.size) + " bytes.";
        return false;
    }
    content.reserve(static_cast<std::size_t>(facts.size) + 1);
    // A file that grows while it is read is read as far as the limit allows.
    if (error = file.ReadToEnd(content, kMaxSourceBytes); error) {
        failureReason = ErrorFragment(error) + ".";
        return false;
    }
    if (content.size() > kMaxSourceBytes) {
        failureReason = "too large: more than " + std::to_string(kMaxSourceBytes) + " bytes.";
        return false;
    }
    return true;
}

// Cuts the file's bytes into lines: a line ends at CR, a CR LF pair is one terminator, and a bare LF is part
// of the line. Line n goes to element n; element 0 is created with the first line.
void SplitLines(const std::string& content, std::size_t lineCount, SourceLines& sourceLines) {
    if (content.empty()) {
        return;
    }
    const char* const begin = content.data();
    const char* const end = begin + content.size();
    sourceLines.reserve(lineCount + 1);
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

bool LoadListing(const fs::path& fileName, SourceLines& sourceLines, std::string& failureReason) {
    sourceLines.clear();
    failureReason.clear();
    if (fileName.empty()) {
        failureReason = "no file name was given.";
        return false;
    }
    try {
        std::string content;
        if (!ReadSource(fileName, content, failureReason)) {
            return false;
        }
        const std::size_t lineCount = LineCount(content);
        if (lineCount > kMaxSourceLines) {
            failureReason = "too large: " + std::to_string(lineCount) + " lines.";
            return false;
        }
        SplitLines(content, lineCount, sourceLines);
        return true;
    } catch (const std::bad_alloc&) {
        sourceLines.clear();
        failureReason = "not enough memory.";
        return false;
    }
}

fs::path PathFromUtf8(const std::string& fileName) { return {std::u8string(fileName.begin(), fileName.end())}; }

}  // namespace veltrin
