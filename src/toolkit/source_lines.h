#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace veltrin {

// The 128 listing as read from its file, once for a whole run: one buffer of its bytes and where each line
// ends. A line is a view into the buffer, without its terminator. Line n of the file is element n; element 0 is
// an empty line that stands for no line, and an empty file has no elements at all. A line ends at CR, a CR LF
// pair is one terminator, a bare LF is part of its line, and the last line needs no terminator.
class SourceLines {
  public:
    SourceLines() = default;
    // Takes over the bytes of a listing file.
    SourceLines(std::unique_ptr<char[]> bytes, std::size_t size);
    // Copies the bytes of a listing file.
    explicit SourceLines(std::string_view bytes);

    // The lines that the bytes of a listing file hold: one for each CR, and one more for text after the last CR.
    static std::size_t CountLines(std::string_view bytes);

    // The number of elements, element 0 included: one more than the lines of the file, or 0 for an empty file.
    [[nodiscard]] std::size_t size() const { return lineEnds_.size(); }
    [[nodiscard]] bool empty() const { return lineEnds_.empty(); }

    std::string_view operator[](std::size_t index) const {
        if (index == 0) {
            return {};
        }
        const std::size_t end = lineEnds_[index];
        return {bytes_.get() + LineStart(index), end - LineStart(index)};
    }

  private:
    // Where a line starts: right after the terminator of the line before it.
    [[nodiscard]] std::size_t LineStart(std::size_t index) const {
        if (index == 1) {
            return 0;
        }
        const std::size_t previousEnd = lineEnds_[index - 1];
        const bool crLf = previousEnd + 1 < size_ && bytes_[previousEnd + 1] == '\n';
        return previousEnd + (crLf ? 2 : 1);
    }

    void IndexLines();

    std::unique_ptr<char[]> bytes_;
    std::size_t size_ = 0;
    std::vector<std::size_t> lineEnds_;  // element n: the offset of line n's terminator, or of the end of the file
};

// Index of the next source line that no step has handled yet.
using SourceIndex = std::int32_t;

// A cursor that lies outside the source listing: a script walked past the last line, or started on a
// listing too short for it. The generators turn it into a failed listing.
class SourceIndexError : public std::out_of_range {
  public:
    using std::out_of_range::out_of_range;
};

// The number of elements of the listing as a cursor value.
inline SourceIndex LineCount(const SourceLines& sourceLines) { return static_cast<SourceIndex>(sourceLines.size()); }

// The source line at a cursor, or SourceIndexError when the cursor lies outside the listing.
std::string_view SourceLineAt(const SourceLines& sourceLines, SourceIndex sourceIndex);

}  // namespace veltrin
