#pragma once

#include <string>
#include <string_view>

#include "toolkit/target_model.h"

namespace veltrin {

// The +2 address of a Spectrum 128 ROM 0 address, given and returned as hexadecimal text.
// Empty text gives empty text; anything else gives four upper-case digits. Reading stops at the first
// character that is not a hexadecimal digit, so "ABEL" is read as $0ABE.
std::string RelocateAddress(std::string_view text, TargetModel targetModel);

}  // namespace veltrin
