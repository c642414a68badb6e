#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace veltrin {

// Where a line stands in the 128 listing, and the cursor of a model script: the first line of the file is line 0,
// so the title block is lines 0 to 2.
using SourceIndex = std::size_t;

// The 128 listing as read from its file, once for a whole run: one buffer of its bytes and where each line
// ends. A line is a view into the buffer, without its terminator, and an empty file has no lines. A line ends at
// CR, a CR LF pair is one terminator, a bare LF is part of its line, and the last line needs no terminator.
class SourceLines {
  public:
    // Takes over the bytes of a listing file and finds its lines in one pass over them. Only the first `maxLines`
    // are kept: a file with more is too large to be a listing, and LinesInFile tells how many it has.
    SourceLines(std::unique_ptr<char[]> bytes, std::size_t size, std::size_t maxLines);

    // The number of lines kept.
    [[nodiscard]] std::size_t size() const { return lineEnds_.size(); }
    // The lines that the file holds: one for each CR, and one more for text after the last CR.
    [[nodiscard]] std::size_t LinesInFile() const { return linesInFile_; }

    std::string_view operator[](SourceIndex index) const {
        const std::size_t start = LineStart(index);
        return {bytes_.get() + start, lineEnds_[index] - start};
    }

  private:
    // Where a line starts: right after the terminator of the line before it.
    [[nodiscard]] std::size_t LineStart(SourceIndex index) const {
        if (index == 0) {
            return 0;
        }
        const std::size_t previousEnd = lineEnds_[index - 1];
        const bool crLf = previousEnd + 1 < size_ && bytes_[previousEnd + 1] == '\n';
        return previousEnd + (crLf ? 2 : 1);
    }

    void IndexLines(std::size_t maxLines);

    std::unique_ptr<char[]> bytes_;
    std::size_t size_ = 0;
    // The offset of each line's terminator, or of the end of the file. A listing file is far smaller than 4 GiB,
    // and half the size of the index is half the memory it passes through.
    std::vector<std::uint32_t> lineEnds_;
    std::size_t linesInFile_ = 0;
};

// A cursor that lies outside the source listing: a script walked past the last line, or started on a
// listing too short for it. The generators turn it into a failed listing.
class SourceIndexError : public std::out_of_range {
  public:
    using std::out_of_range::out_of_range;
};

// The source line at a cursor, or SourceIndexError when the cursor lies outside the listing.
std::string_view SourceLineAt(const SourceLines& sourceLines, SourceIndex sourceIndex);

}  // namespace veltrin
