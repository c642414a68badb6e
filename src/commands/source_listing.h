#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "toolkit/source_lines.h"

namespace veltrin {

// The name of the 128 listing until the user gives another.
inline constexpr std::string_view kSourceDefaultFileName = "Spectrum128_ROM0.asm";

inline constexpr std::string_view kLoadErrorTitle = "Load Error";

// Loads the 128 listing that every model of a run is derived from. On failure, failureMessage is what the run
// shows for it, titled kLoadErrorTitle.
bool LoadSourceListing(const std::filesystem::path& fileName, SourceLines& sourceLines, std::string& failureMessage);

}  // namespace veltrin
