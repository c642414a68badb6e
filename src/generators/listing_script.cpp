#include "generators/listing_script.h"

#include <utility>

#include "generators/model_differences.h"

namespace veltrin {

namespace {

constexpr SourceIndex kFirstLineAfterTitle = 3;  // lines 0 to 2 are the 128 title block
constexpr std::string_view kFourZeroBytes = "        DEFB $00, $00, $00, $00";
constexpr std::string_view kBlankLine;

// A search step that did not find its label or comment.
struct StepFailed {
    std::string_view message;
};

// The script was asked to stop: another listing of the run failed, or the run was cancelled.
struct StopRequested {};

}  // namespace

ListingScript::ListingScript(const SourceLines& sourceLines, LineSink& listing, TargetModel targetModel,
                             std::stop_token stop)
    : sourceLines_(sourceLines),
      targetModel_(targetModel),
      stop_(std::move(stop)),
      rom0Pass_(listing, targetModel),
      tapePass_(rom0Pass_),
      outputLines_(tapePass_) {}

void ListingScript::StartListing(const TitleBlock& title) {
    sourceIndex_ = kFirstLineAfterTitle;
    for (const std::string_view line : title) {
        outputLines_.Append(line);
    }
}

void ListingScript::Found(bool found, std::string_view failureMessage) const {
    if (!found) {
        throw StepFailed{failureMessage};
    }
    if (stop_.stop_requested()) {
        throw StopRequested{};
    }
}

void ListingScript::CopyUntilLabel(std::string_view label, LabelMode mode, std::string_view failureMessage) {
    Found(veltrin::CopyUntilLabel(label, sourceIndex_, sourceLines_, outputLines_, mode, targetModel_), failureMessage);
}

void ListingScript::SkipUntilLabel(std::string_view label, LabelMode mode, std::string_view failureMessage) {
    Found(veltrin::SkipUntilLabel(label, sourceIndex_, sourceLines_, mode), failureMessage);
}

void ListingScript::CopyUntilComment(std::string_view comment, std::string_view failureMessage) {
    Found(veltrin::CopyUntilComment(comment, sourceIndex_, sourceLines_, outputLines_, targetModel_), failureMessage);
}

void ListingScript::CopyLinesRelocated(std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        outputLines_.AppendRelocated(SourceLineAt(sourceLines_, sourceIndex_), targetModel_);
        ++sourceIndex_;
    }
}

void ListingScript::CopyLinesVerbatim(std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        outputLines_.Append(SourceLineAt(sourceLines_, sourceIndex_));
        ++sourceIndex_;
    }
}

void ListingScript::AdvanceCursor(std::size_t count) { sourceIndex_ += count; }

void ListingScript::CopyRestVerbatim() {
    for (; sourceIndex_ < sourceLines_.size(); ++sourceIndex_) {
        outputLines_.Append(SourceLineAt(sourceLines_, sourceIndex_));
    }
}

void ListingScript::AppendRelocated(std::initializer_list<std::string_view> lines) {
    AppendRelocated(std::span<const std::string_view>(lines.begin(), lines.size()));
}

void ListingScript::AppendRelocated(std::span<const std::string_view> lines) {
    for (const std::string_view line : lines) {
        outputLines_.AppendRelocated(line, targetModel_);
    }
}

void ListingScript::Append(std::initializer_list<std::string_view> lines) {
    for (const std::string_view line : lines) {
        outputLines_.Append(line);
    }
}

void ListingScript::AppendUnusedSpace(const UnusedSpaceBlock& block) {
    Append({kBlankLine, kBlankLine, "; ============", "; UNUSED SPACE", "; ============", kBlankLine, block.labelLine});
    for (int i = 0; i < block.fourByteLines; ++i) {
        outputLines_.Append(kFourZeroBytes);
    }
    if (!block.closingLine.empty()) {
        Append({block.closingLine});
    }
}

void ListingScript::CloseListing() {
    outputLines_.Flush();
    AppendModelDifferences(rom0Pass_);
}

std::optional<ScriptFailure> RunListingScript(const SourceLines& sourceLines, LineSink& listing,
                                              TargetModel targetModel, std::stop_token stop, ModelScript script) {
    try {
        ListingScript steps(sourceLines, listing, targetModel, std::move(stop));
        script(steps);
        return std::nullopt;
    } catch (const StepFailed& failure) {
        return ScriptFailure{failure.message};
    } catch (...) {
        return ScriptFailure{};
    }
}

}  // namespace veltrin
