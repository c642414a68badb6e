#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "files/failure.h"
#include "files/file_system.h"
#include "files/listing_target.h"
#include "toolkit/line_sink.h"

namespace veltrin {

// Writes a +2 listing to its target as the lines are derived, each followed by CR LF, in pieces of a quarter
// mebibyte that gather in a buffer of the sink's own, in one of the two ways that the name check chose:
// - by rename: to a staging file in the target's folder, which takes the target's name at Commit;
// - in place: to the listing's file itself, once a backup of the old listing is on the disk.
// A listing that is dropped before Commit (a failed step, Exit during a run) leaves the old one: untouched, or put
// back from its backup.
//
// A file that cannot be started or written does not stop the lines from coming: they are dropped, and Commit
// reports the first failure. The model's own messages of a failed step therefore still come first, as they would
// if a listing were only written once it was complete.
class ListingFileSink : public LineSink {
  public:
    // The size of the pieces.
    static constexpr std::size_t kPieceSize = std::size_t{1} << 18;

    // The sink of the way that the target's name check chose; `source` is the 128 listing's file, whose place a
    // listing never takes.
    static std::unique_ptr<ListingFileSink> Open(const ListingTarget& target, const file_system::FileFacts& source);

    void Write(std::string_view line) final;

    // Writes what is left of the listing and puts it on the disk, without giving it the target's place: the part of
    // a commit that may run on any thread, before the listings before it are committed. Commit does it if nobody
    // did.
    void FinishWriting();

    // Puts the listing in the target's place; the failure when it could not be written or put there. The reason
    // reads after "Could not write ... to "NAME": ".
    std::optional<Failure> Commit();

  protected:
    ListingFileSink(const ListingTarget& target, const file_system::FileFacts& source);

    // Opens the file that the pieces go to, before the first of them.
    virtual std::optional<Failure> Start() = 0;
    virtual file_system::File& Output() = 0;
    // Once the last piece is on the disk.
    virtual std::optional<Failure> Place() = 0;
    // After a failure, what is left to say of the old listing.
    virtual Failure GiveUp(Failure failure) { return failure; }

    [[nodiscard]] const ListingTarget& Target() const { return target_; }

  private:
    // Writes the pieces gathered, and after the last one puts the listing on the disk.
    void PassPending(bool last);

    const ListingTarget& target_;
    file_system::FileFacts source_;
    std::string pending_;
    std::uint64_t written_ = 0;
    std::optional<Failure> failure_;  // the first: no line is written after it
    bool started_ = false;
    bool finished_ = false;
};

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

// Puts back the old listing from the backup that a run cut off while rewriting the target left, if there is one:
// the backup's name when it was put back. A backup that is not the user's own private file with one name, made by
// this program for this very listing, is neither read nor put back nor removed: the reason of the failure names it,
// after "Could not put back the ... ROM disassembly "NAME": ".
Expected<std::optional<std::filesystem::path>> PutBackLeftListing(const ListingTarget& target,
                                                                  const file_system::FileFacts& source);

// The backup that a run cut off while rewriting the listing of that name left, if there is one.
std::optional<std::filesystem::path> FindBackup(const std::filesystem::path& listing);

}  // namespace veltrin
