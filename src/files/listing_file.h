#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "files/failure.h"
#include "files/file_system.h"
#include "toolkit/source_lines.h"

namespace veltrin {

// The largest listing file that is read: hundreds of times a real annotated ROM 0 listing, small enough that the
// source and the index of its lines fit in memory (a line costs eight bytes besides its text).
inline constexpr std::uint64_t kMaxSourceBytes = std::uint64_t{1} << 28;
inline constexpr std::uint64_t kMaxSourceLines = std::uint64_t{1} << 23;

// How much a read of a listing file asks the system for at a time.
inline constexpr std::size_t kReadPiece = std::size_t{1} << 16;

// The one reader of listing files: the 128 listing and a +2 listing that a check compares. Only an ordinary
// file is read, and no more than kMaxSourceBytes of it; the reason of a failure reads after the file's quoted
// name: "does not exist.".
class ListingReader {
  public:
    std::optional<Failure> Open(const std::filesystem::path& name);
    [[nodiscard]] const file_system::FileFacts& Facts() const { return facts_; }
    // The next bytes of the file, at most `count` of them: none at its end.
    Expected<std::size_t> Read(char* into, std::size_t count);
    // Whether the file is not what it was when it was opened: another program writes it.
    [[nodiscard]] bool Changed() const;

  private:
    file_system::File file_;
    file_system::FileFacts facts_;
    std::uint64_t read_ = 0;
};

// The 128 listing, and what the system knows its file by.
struct LoadedListing {
    SourceLines lines;
    file_system::FileFacts facts;
};

// Reads a listing into one buffer: a line ends at CR or CR LF, a bare LF belongs to the line, bytes pass
// unchanged; an empty file gives no lines at all.
Expected<LoadedListing> LoadListing(const std::filesystem::path& fileName);

// The file name typed in a box (UTF-8) as a path, on every platform.
std::filesystem::path PathFromUtf8(const std::string& fileName);

}  // namespace veltrin
