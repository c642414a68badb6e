#include "toolkit/block_primitives.h"

#include <cstddef>
#include <optional>

#include "toolkit/line_relocation.h"
#include "toolkit/text.h"

namespace veltrin {

namespace {

constexpr std::string_view kNeverCalledNote = "NEVER CALLED BY THIS ROM]";

// A line that a header-aware search keeps with the code above the label's header.
bool IsSignificant(std::string_view line, LabelMode mode) {
    switch (mode) {
        case LabelMode::kUpToLabelLine:
            return true;
        case LabelMode::kLeaveHeader:
            return !TrimTrailingWhitespace(line).empty() && line.front() != ';';
    }
    return false;
}

// Where a label search ended.
struct LabelBlock {
    SourceIndex start;
    SourceIndex keepMark;  // just past the last significant line before the label
};

// Scans from sourceIndex for the first line whose start matches the key. On failure sourceIndex is left one
// past the last line.
std::optional<LabelBlock> FindLabelBlock(std::string_view key, SourceIndex& sourceIndex, const SourceLines& sourceLines,
                                         LabelMode mode) {
    SourceLineAt(sourceLines, sourceIndex);
    const SourceIndex start = sourceIndex;
    SourceIndex keepMark = start;
    for (; sourceIndex < sourceLines.size(); ++sourceIndex) {
        const std::string_view line = sourceLines[sourceIndex];
        if (EqualsUpperCased(line.substr(0, key.size()), key)) {
            return LabelBlock{start, keepMark};
        }
        if (IsSignificant(line, mode)) {
            keepMark = sourceIndex + 1;
        }
    }
    return std::nullopt;
}

}  // namespace

std::string_view TrimTrailingWhitespace(std::string_view text) {
    const std::size_t last = text.find_last_not_of(" \t");
    return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

bool CopyUntilLabel(std::string_view label, SourceIndex& sourceIndex, const SourceLines& sourceLines,
                    OutputLines& outputLines, LabelMode mode, TargetModel targetModel) {
    // An address label is only found where it is defined, with its ":"; other texts match any line start.
    std::string key = UpperCase(label);
    if (key.starts_with('L')) {
        key += ':';
    }
    const std::optional<LabelBlock> block = FindLabelBlock(key, sourceIndex, sourceLines, mode);
    if (!block) {
        return false;
    }
    for (SourceIndex index = block->start; index < block->keepMark; ++index) {
        outputLines.AppendRelocated(sourceLines[index], targetModel);
    }
    sourceIndex = block->keepMark;
    return true;
}

bool SkipUntilLabel(std::string_view label, SourceIndex& sourceIndex, const SourceLines& sourceLines, LabelMode mode) {
    const std::string key = std::string(label) + ':';
    const std::optional<LabelBlock> block = FindLabelBlock(key, sourceIndex, sourceLines, mode);
    if (!block) {
        return false;
    }
    sourceIndex = block->keepMark;
    return true;
}

bool CopyUntilComment(std::string_view comment, SourceIndex& sourceIndex, const SourceLines& sourceLines,
                      OutputLines& outputLines, TargetModel targetModel) {
    const std::string key = UpperCase(comment);
    SourceLineAt(sourceLines, sourceIndex);
    const SourceIndex start = sourceIndex;
    for (;; ++sourceIndex) {
        if (sourceIndex >= sourceLines.size()) {
            return false;
        }
        const std::string_view line = sourceLines[sourceIndex];
        const std::size_t semicolon = line.find(';');
        const std::string_view rest = semicolon == std::string_view::npos ? line : line.substr(semicolon + 1);
        if (EqualsUpperCased(rest, key)) {
            break;
        }
    }
    // Notes on code that the 128 never calls are not carried over, together with the ";" that opens them.
    std::string relocated;
    for (SourceIndex index = start; index < sourceIndex; ++index) {
        const std::string_view line = RelocateLine(sourceLines[index], targetModel, relocated);
        if (ContainsUpperCased(line, kNeverCalledNote)) {
            outputLines.DropNeverCalledNote();
        } else {
            outputLines.Append(line);
        }
    }
    return true;
}

}  // namespace veltrin
