#include "files/listing_file_sink.h"

#include <system_error>
#include <utility>

#include "files/listing_backup.h"
#include "files/message_text.h"

namespace veltrin {

ListingFileSink::ListingFileSink(const ListingTarget& target, const file_system::FileFacts& source)
    : target_(target), source_(source) {
    if (target_.InPlace()) {
        return;
    }
    pending_.reserve(kPieceSize + kPieceSize / 16);  // a piece and a long line
    if (const std::error_code error = target_.Folder().CreateStaging(staging_, stagingName_)) {
        failure_ = Failure{"no file can be created in the folder " + QuotedFileName(target_.Folder().Path()) + ": " +
                           ErrorFragment(error) + "."};
    } else if (const std::error_code carried =
                   target_.Facts().exists ? staging_.TakeAttributesOf(target_.Facts()) : std::error_code()) {
        failure_ = Failure{
            "the new listing cannot be given the old one's owner and permissions: " + ErrorFragment(carried) + "."};
    }
}

ListingFileSink::~ListingFileSink() {
    (void)staging_.Close();  // Windows removes no file that is open
    if (!stagingName_.empty()) {
        (void)target_.Folder().Remove(stagingName_);
    }
}

void ListingFileSink::Write(std::string_view line) {
    if (failure_) {
        return;
    }
    pending_.append(line).append(kListingLineEnd);
    if (!target_.InPlace() && pending_.size() >= kPieceSize) {
        PassPending();
    }
}

void ListingFileSink::PassPending() {
    if (const std::error_code error = staging_.WriteAll(pending_)) {
        failure_ = Failure{ErrorFragment(error) + "."};
    }
    staging_.StartWriteback();
    pending_.clear();
}

void ListingFileSink::FinishWriting() {
    if (std::exchange(finished_, true) || failure_ || target_.InPlace()) {
        return;
    }
    if (!pending_.empty()) {
        PassPending();
    }
    // On the disk before it takes the target's place, so that a crash right after the rename cannot leave an empty
    // or partial listing under the target's name.
    if (const std::error_code error = failure_ ? std::error_code() : staging_.Sync()) {
        failure_ = Failure{ErrorFragment(error) + "."};
    }
}

std::optional<Failure> ListingFileSink::Commit() {
    FinishWriting();
    // Looked at again right before it is replaced, in the folder that was opened when the names were checked.
    if (file_system::FileFacts now;
        !failure_ && !target_.Folder().FactsOf(target_.Leaf(), now) && now.IsSameFile(source_)) {
        failure_ = Failure{"it is the Spectrum 128 ROM disassembly itself now."};
    }
    if (failure_) {
        return failure_;
    }
    if (target_.InPlace()) {
        return RewriteInPlace(target_, pending_);
    }
    if (const std::error_code error = target_.Folder().PutInPlace(staging_, stagingName_, target_.Leaf())) {
        return Failure{"it cannot be replaced: " + ErrorFragment(error) + "."};
    }
    // So that a crash cannot take the new name away again.
    if (const std::error_code error = target_.Folder().Sync()) {
        return Failure{"the new listing is in its place, but its folder could not be put on the disk: " +
                       ErrorFragment(error) + "."};
    }
    return std::nullopt;
}

}  // namespace veltrin
