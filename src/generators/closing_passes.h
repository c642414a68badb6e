#pragma once

#include "toolkit/listing_lines.h"

namespace veltrin {

// Puts "Insert tape and press PLAY. " in front of the first "To cancel - press BREAK twice" of every line
// from element 1 on: the +2 shows both sentences where the 128 showed only the second.
void UpdateTapeLoaderMessage(OutputLines& outputLines);

// Gives the model's address to every "$xxxx" and "$xxxx-$xxxx" written after the first ";" of a line (from
// its start when it has none) and followed by " (ROM 0)". Unmarked addresses are left alone.
void RelocateRom0References(OutputLines& outputLines, TargetModel targetModel);

}  // namespace veltrin
