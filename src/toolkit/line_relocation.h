#pragma once

#include <string>
#include <string_view>

#include "toolkit/target_model.h"

namespace veltrin {

// Gives a listing line the addresses of a +2 model: the label that the line defines (an "L" in column 1 and
// a ":" in column 6) and the first label that its operand names. Everything else, the comment included,
// comes out unchanged. A line without a label or a reference to relocate is given back as it is; any other line
// is built in `scratch`, and the result views it.
std::string_view RelocateLine(std::string_view line, TargetModel targetModel, std::string& scratch);

}  // namespace veltrin
