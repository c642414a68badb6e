#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "commands/create_view.h"
#include "generators/model_listings.h"

namespace veltrin {

inline constexpr std::string_view kLoadErrorTitle = "Load Error";

using ListingGenerator = bool (*)(const SourceLines&, LineSink&, ConversionHost&);

// One +2 model of a run, in the order in which the run produces them.
struct ModelRun {
    ListingGenerator generate;
    FileBox box;
    std::string_view modelName;
    std::string_view failureMessage;
};

inline constexpr std::array kModelRuns{
    ModelRun{CreatePlus2Listing, FileBox::kPlus2Rom, "Spectrum +2", "Failed to create Spectrum +2 ROM disassembly"},
    ModelRun{CreateSpanishListing, FileBox::kSpanishPlus2Rom, "Spanish Spectrum +2",
             "Failed to create Spanish Spectrum +2 ROM disassembly"},
    ModelRun{CreateFrenchListing, FileBox::kFrenchPlus2Rom, "French Spectrum +2",
             "Failed to create French Spectrum +2 ROM disassembly"},
};

// Loads the 128 listing that every model of a run is derived from. On failure, failureMessage is what the run
// shows for it, titled kLoadErrorTitle.
bool LoadSourceListing(const std::filesystem::path& fileName, SourceLines& sourceLines, std::string& failureMessage);

}  // namespace veltrin
