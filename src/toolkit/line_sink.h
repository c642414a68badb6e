#pragma once

#include <string_view>

namespace veltrin {

// What ends each line of a +2 listing on disk, on every system, as it ends the lines of the 128 listing.
inline constexpr std::string_view kListingLineEnd = "\r\n";

// Where the lines of a listing go, in order, as they are derived. A line is given without its terminator and
// is only valid during the call: a sink that keeps it must copy it.
class LineSink {
  public:
    LineSink() = default;
    LineSink(const LineSink&) = delete;
    LineSink& operator=(const LineSink&) = delete;
    virtual ~LineSink() = default;

    virtual void Write(std::string_view line) = 0;
};

}  // namespace veltrin
