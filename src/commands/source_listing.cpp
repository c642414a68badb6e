#include "commands/source_listing.h"

#include "files/listing_file.h"

namespace veltrin {

bool LoadSourceListing(const std::filesystem::path& fileName, SourceLines& sourceLines, std::string& failureMessage) {
    std::string failureReason;
    if (LoadListing(fileName, sourceLines, failureReason)) {
        return true;
    }
    failureMessage = "Error loading Spectrum 128 ROM disassembly: " + failureReason;
    return false;
}

}  // namespace veltrin
