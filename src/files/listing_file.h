#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "files/failure.h"
#include "toolkit/source_lines.h"

namespace veltrin {

// The largest source listing that a run reads: hundreds of times a real annotated ROM 0 listing, small enough that
// the file and the index of its lines fit in memory (a line costs eight bytes besides its text).
inline constexpr std::uint64_t kMaxSourceBytes = std::uint64_t{1} << 28;
inline constexpr std::uint64_t kMaxSourceLines = std::uint64_t{1} << 23;

// Reads a listing into one buffer: a line ends at CR or CR LF, a bare LF belongs to the line, bytes pass
// unchanged; an empty file gives no lines at all.
// Only an ordinary file is read.
Expected<SourceLines> LoadListing(const std::filesystem::path& fileName);

// The file name typed in a box (UTF-8) as a path, on every platform.
std::filesystem::path PathFromUtf8(const std::string& fileName);

}  // namespace veltrin
