#pragma once

#include <filesystem>
#include <string>

#include "toolkit/listing_lines.h"

namespace veltrin {

// Reads a listing: a line ends at CR or CR LF, a bare LF belongs to the line, bytes pass unchanged.
// Line n goes to element n and element 0 is empty; an empty file gives no elements at all.
// False when the file cannot be opened or read; sourceLines then holds what was read so far.
bool LoadListing(const std::filesystem::path& fileName, SourceLines& sourceLines);

// Writes elements 1 on, each followed by CR LF. The listing is written beside the target and then put in
// its place in one step, so a failed write leaves an existing file as it was. On failure returns false and
// says why in failureReason.
bool WriteListing(const std::filesystem::path& fileName, const OutputLines& outputLines, std::string& failureReason);

// The file name typed in a box (UTF-8) as a path, on every platform.
std::filesystem::path PathFromUtf8(const std::string& fileName);

}  // namespace veltrin
