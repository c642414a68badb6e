#include "files/listing_file_sink.h"

namespace veltrin {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

ListingFileSink::ListingFileSink(const std::filesystem::path& fileName, std::string& pending)
    : pending_(pending), replacement_(ListingReplacement::Begin(fileName, failureReason_)) {
    pending_.clear();
}

void ListingFileSink::Write(std::string_view line) {
    if (!replacement_) {
        return;
    }
    pending_.append(line).append(kLineEnd);
    if (pending_.size() >= kPieceSize) {
        PassPending();
    }
}

void ListingFileSink::PassPending() {
    if (!replacement_->Write(pending_, failureReason_)) {
        replacement_.reset();
    }
    pending_.clear();
}

bool ListingFileSink::Commit(std::string& failureReason) {
    if (replacement_ && !pending_.empty()) {
        PassPending();
    }
    const bool committed = replacement_ && replacement_->Commit(failureReason_);
    replacement_.reset();
    failureReason = failureReason_;
    return committed;
}

}  // namespace veltrin
