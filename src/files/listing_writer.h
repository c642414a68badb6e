#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

#include "files/failure.h"

namespace veltrin {

// Failure reasons of this file leave the listing's own name to the caller's message: they read as the end of
// "Could not write ... to "NAME": " and end with a full stop.

// Whether a listing could replace the named file, before anything is generated: the name is given, links lead
// where the system itself would follow them, the file is an ordinary file that may be written (or does not exist
// yet in an existing folder).
std::optional<Failure> CheckListingTarget(const std::filesystem::path& fileName);

// Replaces one listing file. Bytes go to a replacement that nobody sees until Commit puts it in place: a new file
// that takes the old one's name in one step, or, when that would lose something of the old file (other hard
// links, an owner or access control list that cannot be carried over, a folder the user may not write), the
// old file rewritten in place, its old content kept at hand to put back when the write fails. Destroying a
// replacement that was not committed leaves the target exactly as it was.
class ListingReplacement {
  public:
    static Expected<std::unique_ptr<ListingReplacement>> Begin(const std::filesystem::path& fileName);

    ListingReplacement(const ListingReplacement&) = delete;
    ListingReplacement& operator=(const ListingReplacement&) = delete;
    virtual ~ListingReplacement();

    // Takes the next piece of the new listing; the caller gathers lines into pieces of a good size.
    virtual std::optional<Failure> Write(std::string_view bytes) = 0;
    // Puts the whole new listing in the target's place.
    virtual std::optional<Failure> Commit() = 0;

  protected:
    ListingReplacement() = default;
};

}  // namespace veltrin
