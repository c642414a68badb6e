#pragma once

#include <algorithm>
#include <cstddef>
#include <limits>
#include <memory>
#include <string_view>
#include <utility>

#include "toolkit/source_lines.h"

namespace veltrin::testing_support {

// The 128 listing that a file of these bytes holds, however many lines it has.
inline SourceLines SourceLinesOf(std::string_view bytes) {
    std::unique_ptr<char[]> copy = std::make_unique_for_overwrite<char[]>(bytes.size());
    std::ranges::copy(bytes, copy.get());
    return {std::move(copy), bytes.size(), std::numeric_limits<std::size_t>::max()};
}

}  // namespace veltrin::testing_support
