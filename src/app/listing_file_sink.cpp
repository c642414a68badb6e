#include "app/listing_file_sink.h"

namespace veltrin {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

ListingFileSink::ListingFileSink(const std::filesystem::path& fileName)
    : replacement_(ListingReplacement::Begin(fileName, failureReason_)) {}

void ListingFileSink::Write(std::string_view line) {
    if (replacement_ && !(replacement_->Write(line, failureReason_) && replacement_->Write(kLineEnd, failureReason_))) {
        replacement_.reset();
    }
}

bool ListingFileSink::Commit(std::string& failureReason) {
    const bool committed = replacement_ && replacement_->Commit(failureReason_);
    replacement_.reset();
    failureReason = failureReason_;
    return committed;
}

}  // namespace veltrin
