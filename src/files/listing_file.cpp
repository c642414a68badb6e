#include "files/listing_file.h"

#include <memory>
#include <new>
#include <system_error>

#include "files/message_text.h"

namespace veltrin {

namespace fs = std::filesystem;

std::optional<Failure> ListingReader::Open(const fs::path& name) {
    // Anything but an ordinary file (a pipe, a device) is refused before it is opened, and, should it appear there
    // meanwhile, before a byte is read from it.
    const file_system::Folder current;  // for a name that is not whole
    // A name that does not exist is left to the open, which finds it missing too.
    std::error_code error = current.FactsOf(name, facts_, true);
    if (!error && facts_.exists && !facts_.ordinary) {
        return NotAFile(facts_.folder);
    }
    if (error = current.OpenFile(name, file_); error) {
        return error == std::errc::no_such_file_or_directory ? MissingFile() : Unreadable(error);
    }
    facts_ = file_.Facts();
    if (!facts_.exists) {
        return Unreadable(file_system::LastError());
    }
    if (!facts_.ordinary) {
        return NotAFile(facts_.folder);
    }
    if (facts_.size > kMaxSourceBytes) {
        return TooLarge(std::to_string(facts_.size) + " bytes");
    }
    return std::nullopt;
}

Expected<std::size_t> ListingReader::Read(char* into, std::size_t count) {
    std::error_code error;
    const std::size_t got = file_.ReadSome(into, count, error);
    read_ += got;
    if (error) {
        return Unreadable(error);
    }
    // A file that grows while it is read is read as far as the limit allows.
    if (read_ > kMaxSourceBytes) {
        return TooLarge("more than " + std::to_string(kMaxSourceBytes) + " bytes");
    }
    return got;
}

bool ListingReader::Changed() const {
    const file_system::FileFacts now = file_.Facts();
    return read_ != facts_.size || now.size != facts_.size || now.modified != facts_.modified;
}

Expected<LoadedListing> LoadListing(const fs::path& fileName) {
    if (fileName.empty()) {
        return Failure{"no file name was given."};
    }
    try {
        ListingReader reader;
        if (std::optional<Failure> failure = reader.Open(fileName)) {
            return *failure;
        }
        // A buffer of the size that the file had, and one more byte, so that its end is seen, or that it grew; it is
        // not filled with zeros before the bytes are read into it.
        const std::size_t capacity = static_cast<std::size_t>(reader.Facts().size) + 1;
        std::unique_ptr<char[]> bytes = std::make_unique_for_overwrite<char[]>(capacity);
        file_system::AdviseLargePages(bytes.get(), capacity);
        std::size_t size = 0;
        for (Expected<std::size_t> got = std::size_t{1}; *got != 0 && size < capacity; size += *got) {
            if (got = reader.Read(bytes.get() + size, capacity - size); !got) {
                return got.Why();
            }
        }
        // Cut short or with lines from two versions: neither is the listing that its user saved.
        if (reader.Changed()) {
            return Failure{"changed while it was read; run again once it is saved."};
        }
        SourceLines lines(std::move(bytes), size, kMaxSourceLines);
        if (lines.LinesInFile() > kMaxSourceLines) {
            return TooLarge(std::to_string(lines.LinesInFile()) + " lines");
        }
        return LoadedListing{std::move(lines), reader.Facts()};
    } catch (const std::bad_alloc&) {
        return Failure{"cannot be read: not enough memory."};
    }
}

fs::path PathFromUtf8(const std::string& fileName) { return {std::u8string(fileName.begin(), fileName.end())}; }

}  // namespace veltrin
