#include "files/listing_file.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <system_error>

#include "files/file_platform.h"
#include "files/message_text.h"

namespace veltrin {

namespace fs = std::filesystem;

namespace {

// The bytes of a listing file, in a buffer that is not filled with zeros before they are read into it.
struct FileBytes {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;
};

// Reads from the file's position to its end into a buffer of the expected size, growing it when the file turns out
// longer, but stops once it holds more than limit.
std::error_code ReadToEnd(file_platform::OpenFile& file, std::size_t expectedSize, std::size_t limit,
                          FileBytes& content) {
    std::size_t capacity = expectedSize + 1;  // one more, so that the end of the file is seen without growing
    content.bytes = std::make_unique_for_overwrite<char[]>(capacity);
    for (;;) {
        if (content.size == capacity) {
            capacity = std::max(capacity * 2, file_platform::kReadChunk);
            std::unique_ptr<char[]> larger = std::make_unique_for_overwrite<char[]>(capacity);
            std::memcpy(larger.get(), content.bytes.get(), content.size);
            content.bytes = std::move(larger);
        }
        std::error_code error;
        const std::size_t got = file.ReadSome(content.bytes.get() + content.size, capacity - content.size, error);
        content.size += got;
        if (error || got == 0 || content.size > limit) {
            return error;
        }
    }
}

// Reads an ordinary file whole, refusing one too large to hold as a listing. Anything else (a pipe, a device)
// is refused before it is opened, and, should it appear there meanwhile, before a byte is read from it.
Expected<FileBytes> ReadSource(const fs::path& fileName) {
    std::error_code error;
    const fs::file_status status = fs::status(fileName, error);
    file_platform::OpenFile file;
    file_platform::OpenedFacts facts;
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        facts.ordinary = false;
    } else if (error = file_platform::OpenToRead(fileName, file, facts); error) {
        return Failure{ErrorFragment(error) + "."};
    }
    if (!facts.ordinary) {
        return Failure{"not an ordinary file."};
    }
    if (facts.size > kMaxSourceBytes) {
        return Failure{"too large: " + std::to_string(facts.size) + " bytes."};
    }
    // A file that grows while it is read is read as far as the limit allows.
    FileBytes content;
    if (error = ReadToEnd(file, static_cast<std::size_t>(facts.size), kMaxSourceBytes, content); error) {
        return Failure{ErrorFragment(error) + "."};
    }
    if (content.size > kMaxSourceBytes) {
        return Failure{"too large: more than " + std::to_string(kMaxSourceBytes) + " bytes."};
    }
    return content;
}

}  // namespace

Expected<SourceLines> LoadListing(const fs::path& fileName) {
    if (fileName.empty()) {
        return Failure{"no file name was given."};
    }
    try {
        Expected<FileBytes> content = ReadSource(fileName);
        if (!content) {
            return Failure{content.Reason()};
        }
        const std::size_t lineCount = SourceLines::CountLines({content->bytes.get(), content->size});
        if (lineCount > kMaxSourceLines) {
            return Failure{"too large: " + std::to_string(lineCount) + " lines."};
        }
        return SourceLines(std::move(content->bytes), content->size);
    } catch (const std::bad_alloc&) {
        return Failure{"not enough memory."};
    }
}

fs::path PathFromUtf8(const std::string& fileName) { return {std::u8string(fileName.begin(), fileName.end())}; }

}  // namespace veltrin
