#include "toolkit/output_lines.h"

#include "toolkit/line_relocation.h"

namespace veltrin {

namespace {

constexpr std::string_view kLoneSemicolon = ";";

}  // namespace

void OutputLines::Append(std::string_view line) {
    if (line == kLoneSemicolon) {
        ++heldSemicolons_;
        return;
    }
    Flush();
    sink_.Write(line);
}

void OutputLines::AppendRelocated(std::string_view line, TargetModel targetModel) {
    Append(RelocateLine(line, targetModel, relocated_));
}

void OutputLines::DropNeverCalledNote() {
    if (heldSemicolons_ > 0) {
        --heldSemicolons_;
    }
}

void OutputLines::Flush() {
    for (; heldSemicolons_ > 0; --heldSemicolons_) {
        sink_.Write(kLoneSemicolon);
    }
}

}  // namespace veltrin
