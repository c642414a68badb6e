#include "files/listing_file_sink.h"

#include <system_error>
#include <utility>

#include "files/listing_backup.h"
#include "files/message_text.h"

namespace veltrin {

using file_system::FileFacts;

namespace {

constexpr std::string_view kLineEnd = "\r\n";

Failure Because(const std::error_code& error) { return {ErrorFragment(error) + "."}; }

// A new listing goes to a staging file in the target's folder, which takes the target's name once it is whole.
class RenamingSink final : public ListingFileSink {
  public:
    RenamingSink(const ListingTarget& target, const FileFacts& source) : ListingFileSink(target, source) {}

  private:
    std::optional<Failure> Start() override {
        if (const std::error_code error = staging_.Create(Target().Folder(), 0666)) {
            return Failure{"no file can be created in the folder " + QuotedFileName(Target().Folder().Path()) + ": " +
                           Because(error).reason};
        }
        const std::error_code error =
            Target().Facts().exists ? staging_.Contents().TakeAttributesOf(Target().Facts()) : std::error_code();
        return error ? std::optional<Failure>(
                           Failure{"the new listing cannot be given the old one's owner and permissions: " +
                                   Because(error).reason})
                     : std::nullopt;
    }

    file_system::File& Output() override { return staging_.Contents(); }

    std::optional<Failure> Place() override {
        if (const std::error_code error = staging_.TakeName(Target().Leaf())) {
            return Failure{"it cannot be replaced: " + Because(error).reason};
        }
        // So that a crash cannot take the new name away again.
        if (const std::error_code error = Target().Folder().Sync()) {
            return Failure{"the new listing is in its place, but its folder could not be put on the disk: " +
                           Because(error).reason};
        }
        return std::nullopt;
    }

    file_system::StagingFile staging_;
};

}  // namespace

std::unique_ptr<ListingFileSink> ListingFileSink::Open(const ListingTarget& target, const FileFacts& source) {
    return target.InPlace() ? RewriteInPlace(target, source) : std::make_unique<RenamingSink>(target, source);
}

ListingFileSink::ListingFileSink(const ListingTarget& target, const FileFacts& source)
    : target_(target), source_(source) {
    pending_.reserve(kPieceSize + kPieceSize / 16);  // a piece and a long line
}

void ListingFileSink::Write(std::string_view line) {
    if (failure_) {
        return;
    }
    pending_.append(line).append(kLineEnd);
    if (pending_.size() >= kPieceSize) {
        PassPending();
    }
}

void ListingFileSink::PassPending() {
    if (!std::exchange(started_, true)) {
        failure_ = Start();
    }
    if (const std::error_code error = failure_ ? std::error_code() : Output().WriteAll(pending_)) {
        failure_ = Because(error);
    }
    if (!failure_) {
        Output().StartWriteback();
    }
    written_ += pending_.size();
    pending_.clear();
}

void ListingFileSink::FinishWriting() {
    if (std::exchange(finished_, true) || failure_) {
        return;
    }
    PassPending();
    // On the disk before it takes the target's place, so that a crash right after cannot leave a partial listing
    // under the target's name; in place, without what is left of a longer old listing.
    std::error_code error = failure_ ? std::error_code() : Output().Truncate(written_);
    error = error || failure_ ? error : Output().Sync();
    if (error) {
        failure_ = Because(error);
    }
}

std::optional<Failure> ListingFileSink::Commit() {
    FinishWriting();
    // Looked at again right before it takes the target's place, in the folder that was opened when the names were
    // checked.
    if (FileFacts now; !failure_ && !target_.Folder().FactsOf(target_.Leaf(), now)) {
        if (now.exists && !now.ordinary) {
            failure_ = Failure{"it is not an ordinary file."};
        } else if (now.IsSameFile(source_)) {
            failure_ = Failure{"it is the Spectrum 128 ROM disassembly itself now."};
        }
    }
    return failure_ ? std::optional<Failure>(GiveUp(*failure_)) : Place();
}

}  // namespace veltrin
