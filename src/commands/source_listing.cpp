#include "commands/source_listing.h"

#include "files/message_text.h"

namespace veltrin {

Expected<LoadedListing> LoadSourceListing(const std::filesystem::path& fileName) {
    Expected<LoadedListing> source = LoadListing(fileName);
    if (!source) {
        const std::string file = fileName.empty() ? "" : QuotedNameWhere(fileName) + " ";
        return Failure{"Error loading Spectrum 128 ROM disassembly: " + file + source.Reason()};
    }
    return source;
}

}  // namespace veltrin
