#pragma once

#include <string>
#include <string_view>

#include "toolkit/output_lines.h"
#include "toolkit/source_lines.h"
#include "toolkit/target_model.h"

namespace veltrin {

// How a label search treats the lines above the label.
enum class LabelMode {
    // The blank and comment lines directly above the label are its header and stay for the next step.
    kLeaveHeader,
    // The block ends exactly at the label line.
    kUpToLabelLine,
};

// The text without the spaces and tabs at its end: a view into the same characters.
std::string_view TrimTrailingWhitespace(std::string_view text);

// Copies, relocated, the source lines from sourceIndex up to the line that starts with the label ("L" labels
// are matched with their ":"; any other text as a line start; case is ignored). On success sourceIndex is
// left on the first line for the next step and the result is true. When the label is missing: false,
// sourceIndex one past the last line, nothing appended.
// Throws SourceIndexError when sourceIndex lies outside sourceLines on entry.
bool CopyUntilLabel(std::string_view label, SourceIndex& sourceIndex, const SourceLines& sourceLines,
                    OutputLines& outputLines, LabelMode mode, TargetModel targetModel);

// The same walk as CopyUntilLabel for an upper-case address label, dropping the lines instead of copying them.
bool SkipUntilLabel(std::string_view label, SourceIndex& sourceIndex, const SourceLines& sourceLines, LabelMode mode);

// Copies, relocated, the source lines up to the one whose text after its first ";" is the comment (case is
// ignored), leaving sourceIndex on that line. A "[Never called by this ROM]" note is not taken over, nor the
// lone ";" line just above it.
bool CopyUntilComment(std::string_view comment, SourceIndex& sourceIndex, const SourceLines& sourceLines,
                      OutputLines& outputLines, TargetModel targetModel);

}  // namespace veltrin
