#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "files/listing_writer.h"
#include "toolkit/line_sink.h"

namespace veltrin {

// Writes a +2 listing to its file as the lines are derived, each followed by CR LF. The file is only replaced by
// Commit: a listing that is dropped (a failed step, Exit during a run) leaves the old file as it was.
//
// The lines gather in `pending` and go to the file in pieces of about a mebibyte. One such buffer serves all the
// listings of a run, so that its memory is taken from the system once rather than once for each listing.
//
// A file that cannot be started or written does not stop the lines from coming: they are dropped, and Commit
// reports the first failure. The model's own messages of a failed step therefore still come first, as they did
// when a listing was only written once it was complete.
class ListingFileSink final : public LineSink {
  public:
    // The size of the pieces; a run gives `pending` room for one and a long line.
    static constexpr std::size_t kPieceSize = std::size_t{1} << 20;

    ListingFileSink(const std::filesystem::path& fileName, std::string& pending);

    void Write(std::string_view line) override;

    // Puts the listing in the file's place; the failure when the file could not be started, written or replaced.
    std::optional<Failure> Commit();

  private:
    void PassPending();

    std::string& pending_;
    std::unique_ptr<ListingReplacement> replacement_;  // none after the first failure: no line is written after it
    std::optional<Failure> failure_;                   // the first
};

}  // namespace veltrin
