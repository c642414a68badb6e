#pragma once

#include <filesystem>
#include <memory>
#include <optional>

#include "files/failure.h"
#include "files/file_system.h"
#include "files/listing_target.h"

namespace veltrin {

class ListingFileSink;

// A listing that must be rewritten in place is first copied to a backup in the user's state folder, which no one
// else may write, and the backup is removed once the new listing is whole and on the disk. A run that is killed
// while it rewrites a listing leaves the backup, and the next run that is to write that listing puts it back.
//
// A backup records, in a block before the old listing's bytes, which listing it holds: the listing's file and its
// folder as the system knows them, its name there and its whole path. It is named after the listing's key, which
// is as long whatever the listing's name.

// Opens the user's state folder, and makes it first where it is missing if asked to; the reason of a failure reads
// after "cannot be kept ".
std::optional<Failure> OpenStateFolder(file_system::Folder& folder, bool create = true);

// The sink that rewrites the listing in place; `source` is the 128 listing's file.
std::unique_ptr<ListingFileSink> RewriteInPlace(const ListingTarget& target, const file_system::FileFacts& source);

// Puts back the old listing from the backup that a run cut off while rewriting the target left, if there is one:
// the backup's name when it was put back. A backup that is not the user's own private file with one name, made by
// this program for this very listing, is neither read nor put back nor removed: the reason of the failure names it,
// after "Could not put back the ... ROM disassembly "NAME": ".
Expected<std::optional<std::filesystem::path>> PutBackLeftListing(const ListingTarget& target,
                                                                  const file_system::FileFacts& source);

// The backup that a run cut off while rewriting the listing of that name left, if there is one.
std::optional<std::filesystem::path> FindBackup(const std::filesystem::path& listing);

}  // namespace veltrin
