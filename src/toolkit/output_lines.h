#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "toolkit/line_sink.h"
#include "toolkit/target_model.h"

namespace veltrin {

// The lines of a +2 listing as a model script derives them, passed on to a sink as they come. Only a run of lone
// ";" lines at the end is held back, as a count: a "[Never called by this ROM]" note that a comment copy meets
// takes the ";" line just above it away, and that line may be one that an earlier step appended. No other line
// is ever taken back, so nothing else needs holding.
class OutputLines {
  public:
    explicit OutputLines(LineSink& sink) : sink_(sink) {}

    void Append(std::string_view line);
    // Appends what RelocateLine gives for the line, built in space that is used again for the next line.
    void AppendRelocated(std::string_view line, TargetModel targetModel);
    // A never-called note stands here: it is not appended, and a lone ";" line right above it goes with it.
    void DropNeverCalledNote();
    // Passes the held lines on: the script has no more lines for this listing.
    void Flush();

  private:
    LineSink& sink_;
    std::size_t heldSemicolons_ = 0;
    std::string relocated_;
};

}  // namespace veltrin
