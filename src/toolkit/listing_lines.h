#pragma once

#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <stdexcept>
#include <string>

#include "toolkit/target_model.h"

namespace veltrin {

// A listing held in memory: element 0 stands for no line, line n of the file is element n. A listing has
// as many short strings as lines, so a run can give each listing an arena of its own that is let go whole.
using ListingLine = std::pmr::string;
using ListingLines = std::pmr::vector<ListingLine>;
using SourceLines = ListingLines;
using OutputLines = ListingLines;

// Index of the next source line that no step has handled yet.
using SourceIndex = std::int32_t;

// A cursor that lies outside the source listing: a script walked past the last line, or started on a
// listing too short for it. The generators turn it into a failed listing.
class SourceIndexError : public std::out_of_range {
  public:
    using std::out_of_range::out_of_range;
};

// The source line at a cursor, or SourceIndexError when the cursor lies outside the listing.
inline const ListingLine& SourceLineAt(const SourceLines& sourceLines, SourceIndex sourceIndex) {
    if (sourceIndex < 0 || static_cast<std::size_t>(sourceIndex) >= sourceLines.size()) {
        throw SourceIndexError("source line " + std::to_string(sourceIndex) + " does not exist");
    }
    return sourceLines[static_cast<std::size_t>(sourceIndex)];
}

}  // namespace veltrin
