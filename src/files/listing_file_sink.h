#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "files/failure.h"
#include "files/file_system.h"
#include "files/listing_target.h"
#include "toolkit/line_sink.h"

namespace veltrin {

// Writes a +2 listing to its target as the lines are derived, each followed by CR LF. Nothing of the old listing
// changes before Commit: a listing that is dropped (a failed step, Exit during a run) leaves it as it was.
//
// A listing that takes the target's place by a rename goes to a staging file in pieces of a quarter mebibyte, which
// gather in a buffer of the sink's own. A listing that is rewritten in place gathers there whole.
//
// A file that cannot be started or written does not stop the lines from coming: they are dropped, and Commit
// reports the first failure. The model's own messages of a failed step therefore still come first, as they would
// if a listing were only written once it was complete.
class ListingFileSink final : public LineSink {
  public:
    // The size of the pieces.
    static constexpr std::size_t kPieceSize = std::size_t{1} << 18;

    // `source` is the 128 listing's file, whose place a listing never takes.
    ListingFileSink(const ListingTarget& target, const file_system::FileFacts& source);
    ListingFileSink(const ListingFileSink&) = delete;
    ListingFileSink& operator=(const ListingFileSink&) = delete;
    ~ListingFileSink() override;

    void Write(std::string_view line) override;

    // Writes what is left of the listing and puts it on the disk, without touching the target: the part of a commit
    // that may run on any thread, before the listings before it are committed. Commit does it if nobody did.
    void FinishWriting();

    // Puts the listing in the target's place; the failure when it could not be written or put there. The reason
    // reads after "Could not write ... to "NAME": ".
    std::optional<Failure> Commit();

  private:
    void PassPending();

    const ListingTarget& target_;
    file_system::FileFacts source_;
    std::string pending_;
    file_system::File staging_;
    std::filesystem::path stagingName_;  // while the staging file has a name of its own
    std::optional<Failure> failure_;     // the first: no line is written after it
    bool finished_ = false;
};

}  // namespace veltrin
