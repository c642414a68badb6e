#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "files/failure.h"

namespace veltrin {

// Where a listing on disk first parts from the listing that a run would write, as a person reads it: lines are
// counted as an editor shows them, and the lines are quoted with their control bytes written as \xHH.
struct ListingDifference {
    std::size_t firstLine = 0;  // counted from 1
    std::string expected;       // the derived line there, or "end of file"
    std::string found;          // the line on disk there, or "end of file"
    std::size_t differingLines = 0;
};

// Compares the bytes that a run would write with those of a file line by line, as both come, so that neither is
// ever held whole: a check reads a listing of any length in the memory of one line.
class ListingComparison {
  public:
    // The next piece of the file's bytes, none at its end; the failure when it cannot be read.
    using FoundBytes = std::function<Expected<std::string_view>()>;

    explicit ListingComparison(FoundBytes foundBytes) : foundBytes_(std::move(foundBytes)) {}

    // The next bytes that the run would write.
    void Expect(std::string_view bytes);
    // After the last of them: nothing when the two are the same.
    Expected<std::optional<ListingDifference>> Finish();

  private:
    // A derived listing ends every line with CR LF; a file that went through a tool that changes line ends may not.
    // Past the end of the shorter listing, its lines are absent.
    enum class LineEnd { kCrLf, kLineFeed, kNone, kAbsent };
    struct Line {
        std::string_view text;
        LineEnd end = LineEnd::kAbsent;
        bool operator==(const Line&) const = default;
    };

    Line NextFound();
    void Compare(const Line& expected, const Line& found);
    static std::string Shown(const Line& line);

    FoundBytes foundBytes_;
    std::string expected_;  // what has come of the expected bytes and is not yet compared
    std::string found_;     // likewise of the file's bytes, from foundStart_
    std::size_t foundStart_ = 0;
    bool foundEnded_ = false;
    std::optional<Failure> failure_;
    std::size_t line_ = 0;
    ListingDifference difference_;
};

}  // namespace veltrin
