#include "files/listing_file.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <system_error>

#include "files/message_text.h"

namespace veltrin {

namespace fs = std::filesystem;

namespace {

Failure Unreadable(const std::error_code& error) { return {"cannot be read: " + ErrorFragment(error) + "."}; }

}  // namespace

std::optional<Failure> ListingReader::Open(const fs::path& name, const file_system::Folder& folder) {
    // Anything but an ordinary file (a pipe, a device) is refused before it is opened, and, should it appear there
    // meanwhile, before a byte is read from it.
    std::error_code error = folder.FactsOf(name, facts_, true);
    if (!error && !facts_.exists) {
        return Failure{"does not exist."};
    }
    if (!error && !facts_.ordinary) {
        return Failure{facts_.folder ? "is a folder, not a file." : "is not an ordinary file."};
    }
    if (error = folder.OpenToRead(name, file_); error) {
        return error == std::errc::no_such_file_or_directory ? Failure{"does not exist."} : Unreadable(error);
    }
    facts_ = file_.Facts();
    if (!facts_.exists) {
        return Unreadable(file_system::LastError());
    }
    if (!facts_.ordinary) {
        return Failure{facts_.folder ? "is a folder, not a file." : "is not an ordinary file."};
    }
    if (facts_.size > kMaxSourceBytes) {
        return Failure{"is too large: " + std::to_string(facts_.size) + " bytes."};
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
        return Failure{"is too large: more than " + std::to_string(kMaxSourceBytes) + " bytes."};
    }
    return got;
}

std::optional<Failure> CopyRest(ListingReader& reader, file_system::File& to) {
    const std::unique_ptr<char[]> piece = std::make_unique_for_overwrite<char[]>(kReadPiece);
    for (;;) {
        const Expected<std::size_t> got = reader.Read(piece.get(), kReadPiece);
        if (!got || *got == 0) {
            return got ? std::nullopt : std::optional<Failure>(Failure{got.Reason()});
        }
        if (const std::error_code error = to.WriteAll({piece.get(), *got})) {
            return Failure{ErrorFragment(error) + "."};
        }
    }
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
        // A buffer of the size that the file had, and one more byte, so that its end is seen without growing; it is
        // not filled with zeros before the bytes are read into it.
        std::size_t capacity = static_cast<std::size_t>(reader.Facts().size) + 1;
        std::unique_ptr<char[]> bytes = std::make_unique_for_overwrite<char[]>(capacity);
        file_system::AdviseLargePages(bytes.get(), capacity);
        std::size_t size = 0;
        for (;;) {
            if (size == capacity) {
                capacity = std::max(capacity * 2, kReadPiece);
                std::unique_ptr<char[]> larger = std::make_unique_for_overwrite<char[]>(capacity);
                std::memcpy(larger.get(), bytes.get(), size);
                bytes = std::move(larger);
            }
            const Expected<std::size_t> got = reader.Read(bytes.get() + size, capacity - size);
            if (!got) {
                return Failure{got.Reason()};
            }
            if (*got == 0) {
                break;
            }
            size += *got;
        }
        SourceLines lines(std::move(bytes), size, kMaxSourceLines);
        if (lines.LinesInFile() > kMaxSourceLines) {
            return Failure{"is too large: " + std::to_string(lines.LinesInFile()) + " lines."};
        }
        return LoadedListing{std::move(lines), reader.Facts()};
    } catch (const std::bad_alloc&) {
        return Failure{"cannot be read: not enough memory."};
    }
}

fs::path PathFromUtf8(const std::string& fileName) { return {std::u8string(fileName.begin(), fileName.end())}; }

}  // namespace veltrin
