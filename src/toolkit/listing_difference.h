#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "toolkit/line_diff.h"
#include "toolkit/line_sink.h"

namespace veltrin {

// How a listing on disk differs from the listing that a run would write, as a person reads it: lines are counted
// as an editor shows them, and the lines are quoted with their control bytes written as \xHH.
struct ListingDifference {
    std::size_t firstLine = 0;       // counted from 1
    std::string expected;            // the derived line there, or "end of file"
    std::string found;               // the line on disk there, or "end of file"
    std::size_t differingLines = 0;  // line N of one against line N of the other
    // A file whose lines all end in LF alone went through a tool that changed them: its lines are compared without
    // their ends, and that is said once.
    bool lineFeedsOnly = false;
    // The edits from the file to the derived listing, unless there are too many to work out.
    std::optional<LineChanges> changes;

    // What a person is told, in lines that each end in "\n": the changes as a person counts them ("1 line changed
    // from line 2"), or where the file starts to differ when there are too many to work out, then the derived and
    // the found line of the first change.
    [[nodiscard]] std::string Text() const;
    [[nodiscard]] std::string_view Hunks() const { return changes ? std::string_view(changes->hunks) : ""; }
};

// Compares the lines of a listing, as they are derived, with the bytes of a file, line by line as both come, so
// that neither is ever held whole: a check reads a listing of any length in the memory of one line.
class ListingComparison final : public LineSink {
  public:
    // The next piece of the file's bytes; none at its end, or where it cannot be read further.
    using FoundBytes = std::function<std::string_view()>;

    // With hunks, the edits are also written as a unified diff.
    ListingComparison(FoundBytes foundBytes, bool writeHunks)
        : foundBytes_(std::move(foundBytes)), edits_(writeHunks) {}

    // The next derived line, which a listing on disk ends with CR LF.
    void Write(std::string_view line) override;
    // After the last of them: nothing when the two are the same.
    std::optional<ListingDifference> Finish();

  private:
    // A derived listing ends every line with CR LF; a file that went through a tool that changes line ends may not.
    // Past the end of the shorter listing, its lines are absent.
    enum class LineEnd { kCrLf, kLineFeed, kNone, kAbsent };
    struct Line {
        std::string_view text;
        LineEnd end = LineEnd::kAbsent;
    };

    void CountRestAsDiffering();
    Line NextFound();
    void Compare(const Line& expected, const Line& found);
    std::optional<std::string_view> Compared(const Line& line, std::string& text) const;
    std::string Shown(const Line& line) const;

    FoundBytes foundBytes_;
    std::string expected_;  // what has come of the derived lines and is not yet compared
    std::string found_;     // likewise of the file's bytes, from foundStart_
    std::size_t foundStart_ = 0;
    bool foundEnded_ = false;
    std::size_t line_ = 0;
    ListingDifference difference_;
    LineDiff edits_;
    std::string expectedText_;  // a line as compared, when that is not its bytes
    std::string foundText_;
};

}  // namespace veltrin
