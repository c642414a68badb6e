#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace veltrin {

// Where a listing on disk first parts from the listing that a run would write, as a person reads it: lines are
// counted as an editor shows them, and the lines are quoted with their control bytes written as \xHH.
struct ListingDifference {
    std::size_t firstLine = 0;  // counted from 1
    std::string expected;       // the derived line there, or "end of file"
    std::string found;          // the line on disk there, or "end of file"
    std::size_t differingLines = 0;
};

// Compares the bytes that a run would write with those of the file; nothing when they are the same.
std::optional<ListingDifference> FindListingDifference(std::string_view expectedBytes, std::string_view foundBytes);

}  // namespace veltrin
