#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "files/failure.h"
#include "files/listing_target.h"

namespace veltrin {

// A listing that must be rewritten in place is first copied to a backup that is on the disk before the listing is
// touched, and removed once the new listing is: beside the listing as ".NAME.vlt-old", or, where its folder takes
// no new file, in the user's state folder under the listing's file number. A run that is killed while it rewrites a
// listing leaves the backup, and the next run puts it back before anything else.

// Rewrites the listing with the new one; the reason of a failure ends "Could not write ... to "NAME": ".
std::optional<Failure> RewriteInPlace(const ListingTarget& target, std::string_view listing);

// The backup that a run cut off while rewriting the listing left, if there is one.
std::optional<std::filesystem::path> FindBackup(const std::filesystem::path& listing);

// Puts the old listing back from its backup, and removes the backup.
std::optional<Failure> PutBackupBack(const std::filesystem::path& listing, const std::filesystem::path& backup);

}  // namespace veltrin
