#include "generators/listing_script.h"

#include <cstddef>
#include <string>

#include "generators/closing_passes.h"
#include "generators/model_differences.h"
#include "toolkit/line_relocation.h"

namespace veltrin {

namespace {

constexpr std::string_view kConvertErrorTitle = "Convert Error";
constexpr SourceIndex kFirstLineAfterTitle = 4;
// More than the lines that a script inserts: texts, the unused space and the differences block.
constexpr std::size_t kInsertedLinesAllowance = 512;
constexpr std::string_view kFourZeroBytes = "        DEFB $00, $00, $00, $00";

// A search step that did not find its label or comment.
struct StepFailed {
    std::string_view message;
};

}  // namespace

ListingScript::ListingScript(const SourceLines& sourceLines, OutputLines& outputLines, TargetModel targetModel,
                             ConversionHost& host)
    : sourceLines_(sourceLines), outputLines_(outputLines), targetModel_(targetModel), host_(host) {}

void ListingScript::StartListing(const TitleBlock& title) {
    sourceIndex_ = kFirstLineAfterTitle;
    const std::size_t size = outputLines_.size() + title.size();
    // The listing grows to about the length of the source, so it is given that room at once rather than
    // being moved to a larger array again and again.
    outputLines_.reserve(size + sourceLines_.size() + kInsertedLinesAllowance);
    outputLines_.assign(size, ListingLine());
    for (std::size_t i = 0; i < title.size(); ++i) {
        outputLines_[size - title.size() + i] = title[i];
    }
}

void ListingScript::CopyUntilLabel(std::string_view label, LabelMode mode, std::string_view failureMessage) {
    if (!veltrin::CopyUntilLabel(label, sourceIndex_, sourceLines_, outputLines_, mode, targetModel_)) {
        throw StepFailed{failureMessage};
    }
    host_.Yield();
}

void ListingScript::SkipUntilLabel(std::string_view label, LabelMode mode, std::string_view failureMessage) {
    if (!veltrin::SkipUntilLabel(label, sourceIndex_, sourceLines_, mode)) {
        throw StepFailed{failureMessage};
    }
    host_.Yield();
}

void ListingScript::CopyUntilComment(std::string_view comment, std::string_view failureMessage) {
    if (!veltrin::CopyUntilComment(comment, sourceIndex_, sourceLines_, outputLines_, targetModel_)) {
        throw StepFailed{failureMessage};
    }
    host_.Yield();
}

void ListingScript::CopyLinesRelocated(int count) {
    for (int i = 0; i < count; ++i) {
        AppendRelocatedLine(SourceLineAt(sourceLines_, sourceIndex_), targetModel_, outputLines_);
        ++sourceIndex_;
    }
}

void ListingScript::CopyLinesVerbatim(int count) {
    for (int i = 0; i < count; ++i) {
        outputLines_.push_back(SourceLineAt(sourceLines_, sourceIndex_));
        ++sourceIndex_;
    }
}

void ListingScript::AdvanceCursor(int count) { sourceIndex_ += count; }

void ListingScript::CopyRestVerbatim() {
    const auto lineCount = static_cast<SourceIndex>(sourceLines_.size());
    for (; sourceIndex_ < lineCount; ++sourceIndex_) {
        outputLines_.push_back(SourceLineAt(sourceLines_, sourceIndex_));
    }
}

void ListingScript::AppendRelocated(std::initializer_list<std::string_view> lines) {
    AppendRelocated(std::span<const std::string_view>(lines.begin(), lines.size()));
}

void ListingScript::AppendRelocated(std::span<const std::string_view> lines) {
    for (const std::string_view line : lines) {
        AppendRelocatedLine(line, targetModel_, outputLines_);
    }
}

void ListingScript::Append(std::initializer_list<std::string_view> lines) {
    outputLines_.insert(outputLines_.end(), lines.begin(), lines.end());
}

void ListingScript::AppendUnusedSpace(const UnusedSpaceBlock& block) {
    Append({"", "", "; ============", "; UNUSED SPACE", "; ============", "", block.labelLine});
    outputLines_.insert(outputLines_.end(), static_cast<std::size_t>(block.fourByteLines), ListingLine(kFourZeroBytes));
    if (!block.closingLine.empty()) {
        Append({block.closingLine});
    }
}

void ListingScript::CloseListing() {
    UpdateTapeLoaderMessage(outputLines_);
    AppendModelDifferences(outputLines_);
    RelocateRom0References(outputLines_, targetModel_);
}

bool RunListingScript(const SourceLines& sourceLines, OutputLines& outputLines, TargetModel targetModel,
                      ConversionHost& host, const std::function<void(ListingScript&)>& steps) {
    try {
        ListingScript script(sourceLines, outputLines, targetModel, host);
        steps(script);
        return true;
    } catch (const StepFailed& failure) {
        host.ShowMessage(failure.message, kConvertErrorTitle);
        return false;
    } catch (const RunCancelled&) {
        throw;
    } catch (...) {
        return false;
    }
}

}  // namespace veltrin
