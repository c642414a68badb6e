#pragma once

#include <cstdint>
#include <span>

namespace veltrin {

// One stretch of Spectrum 128 addresses that moves by the same amount in a +2 model.
struct AddressRange {
    std::uint32_t upperBound;  // exclusive; the lower bound is the previous range's upper bound
    std::int32_t offset;
};

// The +2 model whose addresses a conversion writes, as relocation sees it: the stretches of ROM 0 from the end of
// the 128 copyright message up to its last byte, in order, each with the amount by which the model moved it.
struct TargetModel {
    std::span<const AddressRange> addressRanges;
};

}  // namespace veltrin
