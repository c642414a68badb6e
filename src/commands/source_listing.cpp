#include "commands/source_listing.h"

#include "files/listing_file.h"

namespace veltrin {

Expected<SourceLines> LoadSourceListing(const std::filesystem::path& fileName) {
    Expected<SourceLines> sourceLines = LoadListing(fileName);
    if (!sourceLines) {
        return Failure{"Error loading Spectrum 128 ROM disassembly: " + sourceLines.Reason()};
    }
    return sourceLines;
}

}  // namespace veltrin
