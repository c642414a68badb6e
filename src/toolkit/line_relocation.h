#pragma once

#include <string>
#include <string_view>

#include "toolkit/listing_lines.h"

namespace veltrin {

// Gives a listing line the addresses of a +2 model: the label that the line defines (an "L" in column 1 and
// a ":" in column 6) and the first label that its operand names. Everything else, the comment included,
// comes out unchanged.
std::string RelocateLine(std::string_view line, TargetModel targetModel);

// Appends the relocated line to a listing, built in place.
void AppendRelocatedLine(std::string_view line, TargetModel targetModel, ListingLines& outputLines);

}  // namespace veltrin
