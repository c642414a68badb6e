#pragma once

#include <filesystem>
#include <span>

namespace veltrin::bench {

// What no conversion can beat: the source read once, and its bytes written to each target and put on the disk
// (fsync) before the file is closed, as the listings are. False when a read or a write fails.
bool CopyToFiles(const std::filesystem::path& source, std::span<const std::filesystem::path> targets);

}  // namespace veltrin::bench
