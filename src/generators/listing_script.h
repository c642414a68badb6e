#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <span>
#include <stop_token>
#include <string_view>

#include "generators/closing_passes.h"
#include "toolkit/block_primitives.h"
#include "toolkit/line_sink.h"
#include "toolkit/output_lines.h"
#include "toolkit/source_lines.h"
#include "toolkit/target_model.h"

namespace veltrin {

using TitleBlock = std::array<std::string_view, 3>;

// The unused bytes in front of the last byte of a +2 ROM 0, listed as one labelled line of four $00 bytes,
// a number of unlabelled ones and, where the count is not a multiple of four, a shorter closing line.
struct UnusedSpaceBlock {
    std::string_view labelLine;
    int fourByteLines;
    std::string_view closingLine;  // empty when there is none
};

// The steps that a model script is written in. Each step works on the one cursor that walks the 128 listing
// from top to bottom and writes the +2 listing's lines to its sink as it derives them. A search step that does not
// find its label or comment ends the script with the step's message; one that does ends it when the script was
// asked to stop meanwhile.
class ListingScript {
  public:
    ListingScript(const SourceLines& sourceLines, LineSink& listing, TargetModel targetModel, std::stop_token stop);

    // Starts the +2 listing with its title block in place of the 128's, and the cursor on the first
    // source line after the 128's.
    void StartListing(const TitleBlock& title);

    void CopyUntilLabel(std::string_view label, LabelMode mode, std::string_view failureMessage);
    void SkipUntilLabel(std::string_view label, LabelMode mode, std::string_view failureMessage);
    void CopyUntilComment(std::string_view comment, std::string_view failureMessage);

    void CopyLinesRelocated(std::size_t count);
    void CopyLinesVerbatim(std::size_t count);
    void AdvanceCursor(std::size_t count);
    void CopyRestVerbatim();

    // Literal lines are written with their 128 labels; the relocated form carries the model's labels.
    void AppendRelocated(std::initializer_list<std::string_view> lines);
    void AppendRelocated(std::span<const std::string_view> lines);
    void Append(std::initializer_list<std::string_view> lines);
    void AppendUnusedSpace(const UnusedSpaceBlock& block);

    // What closes every +2 listing: the differences block after the script's lines. The script's lines pass
    // the tape message pass and then the ROM 0 pass; the block joins behind the tape pass, because it quotes the
    // 128 message as it was, and passes the ROM 0 pass too.
    void CloseListing();

  private:
    // Ends the script unless the search step found its label or comment, or when the script is to stop.
    void Found(bool found, std::string_view failureMessage) const;

    const SourceLines& sourceLines_;
    TargetModel targetModel_;
    std::stop_token stop_;
    Rom0ReferenceStage rom0Pass_;
    TapeMessageStage tapePass_;
    OutputLines outputLines_;
    SourceIndex sourceIndex_ = 0;
};

// A model's steps from the 128 listing to its +2 listing.
using ModelScript = void (*)(ListingScript& script);

// Why a model script did not derive its listing.
struct ScriptFailure {
    // The message of the search step that did not find its label or comment, which the run shows titled
    // "Convert Error" before its own; empty when another error ended the script (a cursor outside the listing, no
    // memory) or it stopped on request, which have no message of the script's own.
    std::string_view failedStep;
};

// Runs a model script over the 128 listing: nothing when the listing was derived whole, or what ended it. The
// script looks at `stop` after each block that it finds.
std::optional<ScriptFailure> RunListingScript(const SourceLines& sourceLines, LineSink& listing,
                                              TargetModel targetModel, std::stop_token stop, ModelScript script);

}  // namespace veltrin
