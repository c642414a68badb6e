#pragma once

#include <string>
#include <string_view>

#include "toolkit/line_sink.h"
#include "toolkit/target_model.h"

namespace veltrin {

// The two passes that close every +2 listing, one line at a time. Each gives back the line itself when it has
// nothing to change, and otherwise builds the changed line in `scratch` and gives back a view of it.

// Puts "Insert tape and press PLAY. " in front of the first "To cancel - press BREAK twice" of the line: the +2
// shows both sentences where the 128 showed only the second.
std::string_view UpdateTapeLoaderMessage(std::string_view line, std::string& scratch);

// Gives the model's address to every "$xxxx" and "$xxxx-$xxxx" written after the first ";" of the line (from
// its start when it has none) and followed by " (ROM 0)". Unmarked addresses are left alone.
std::string_view RelocateRom0References(std::string_view line, TargetModel targetModel, std::string& scratch);

// The passes as stages between a model script and the listing's sink: every line written to a stage goes on
// to the next sink as the pass leaves it.
class TapeMessageStage final : public LineSink {
  public:
    explicit TapeMessageStage(LineSink& next) : next_(next) {}
    void Write(std::string_view line) override { next_.Write(UpdateTapeLoaderMessage(line, scratch_)); }

  private:
    LineSink& next_;
    std::string scratch_;
};

class Rom0ReferenceStage final : public LineSink {
  public:
    Rom0ReferenceStage(LineSink& next, TargetModel targetModel) : next_(next), targetModel_(targetModel) {}
    void Write(std::string_view line) override { next_.Write(RelocateRom0References(line, targetModel_, scratch_)); }

  private:
    LineSink& next_;
    TargetModel targetModel_;
    std::string scratch_;
};

}  // namespace veltrin
