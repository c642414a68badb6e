#include "files/listing_file_sink.h"

namespace veltrin {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

ListingFileSink::ListingFileSink(const std::filesystem::path& fileName, std::string& pending) : pending_(pending) {
    pending_.clear();
    Expected<std::unique_ptr<ListingReplacement>> replacement = ListingReplacement::Begin(fileName);
    if (replacement) {
        replacement_ = std::move(*replacement);
    } else {
        failure_ = Failure{replacement.Reason()};
    }
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
    failure_ = replacement_->Write(pending_);
    if (failure_) {
        replacement_.reset();
    }
    pending_.clear();
}

std::optional<Failure> ListingFileSink::Commit() {
    if (replacement_ && !pending_.empty()) {
        PassPending();
    }
    if (replacement_) {
        failure_ = replacement_->Commit();
        replacement_.reset();
    }
    return failure_;
}

}  // namespace veltrin
