#pragma once

#include <filesystem>
#include <string_view>

#include "files/failure.h"
#include "files/listing_file.h"

namespace veltrin {

// The name of the 128 listing until the user gives another.
inline constexpr std::string_view kSourceDefaultFileName = "Spectrum128_ROM0.asm";

inline constexpr std::string_view kLoadErrorTitle = "Load Error";

// Loads the 128 listing that every model of a run is derived from. The failure's reason is the whole message that
// the run shows for it, titled kLoadErrorTitle.
Expected<LoadedListing> LoadSourceListing(const std::filesystem::path& fileName);

}  // namespace veltrin
