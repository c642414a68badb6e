#include "toolkit/listing_difference.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "toolkit/text.h"

namespace veltrin {

namespace {

// Past this many changes, a summary gives their count.
constexpr std::size_t kChangesListed = 3;

// "3 lines changed and 1 added from line 120", "2 lines removed at line 400": the first item of a summary says
// "lines", the others only the count.
std::string ChangeText(const LineChange& change, bool first) {
    const auto lines = [first](std::size_t count) {
        return std::to_string(count) + (!first ? "" : count == 1 ? " line" : " lines");
    };
    const std::string at = std::to_string(change.oldLine);
    const std::size_t changed = std::min(change.removed, change.added);
    if (changed == 0) {
        return change.added > 0 ? lines(change.added) + " added at line " + at
                                : lines(change.removed) + " removed at line " + at;
    }
    std::string text = lines(changed) + " changed";
    if (change.added > changed) {
        text += " and " + std::to_string(change.added - changed) + " added";
    } else if (change.removed > changed) {
        text += " and " + std::to_string(change.removed - changed) + " removed";
    }
    return text + " from line " + at;
}

std::string ChangesText(const std::vector<LineChange>& changes) {
    if (changes.size() > kChangesListed) {
        return std::to_string(changes.size()) + " changes from line " + std::to_string(changes.front().oldLine);
    }
    std::string text;
    for (const LineChange& change : changes) {
        text += (text.empty() ? "" : ", ") + ChangeText(change, text.empty());
    }
    return text;
}

// Cuts the line that ends at the line feed, as editors do, so that the line numbers are those the user sees. The
// line end is kept apart from the text: a line that lost its CR differs from one that kept it.
template <typename Line, typename LineEnd>
Line CutAt(std::string_view bytes, std::size_t lineFeed) {
    std::string_view text = bytes.substr(0, lineFeed);
    const bool crLf = text.ends_with('\r');
    return {crLf ? text.substr(0, text.size() - 1) : text, crLf ? LineEnd::kCrLf : LineEnd::kLineFeed};
}

}  // namespace

std::string ListingDifference::Text() const {
    std::string text = lineFeedsOnly ? "its lines end in LF, not CR LF" : "";
    if (differingLines == 0) {
        return text + "\n";
    }
    text += text.empty() ? "" : "; ";
    text += changes ? ChangesText(changes->changes)
                    : "differs from line " + std::to_string(firstLine) + ", too many changes to list them";
    text += "\n  expected: " + expected + "\n  found:    " + found + "\n";
    if (!changes) {
        text += "  " + std::to_string(differingLines) + (differingLines == 1 ? " line differs" : " lines differ") +
                " in all\n";
    }
    return text;
}

void ListingComparison::Write(std::string_view line) {
    expected_.append(line).append(kListingLineEnd);
    std::size_t start = 0;
    for (std::size_t lineFeed = expected_.find('\n'); lineFeed != std::string::npos;
         lineFeed = expected_.find('\n', start)) {
        Compare(CutAt<Line, LineEnd>(std::string_view(expected_).substr(start), lineFeed - start), NextFound());
        start = lineFeed + 1;
    }
    expected_.erase(0, start);
}

std::optional<ListingDifference> ListingComparison::Finish() {
    if (!expected_.empty()) {
        Compare({expected_, LineEnd::kNone}, NextFound());
    }
    for (Line found = NextFound(); found.end != LineEnd::kAbsent; found = NextFound()) {
        Compare({}, found);
        if (edits_.GaveUp()) {
            break;
        }
    }
    CountRestAsDiffering();
    difference_.changes = edits_.Finish();
    if (difference_.differingLines == 0 && !difference_.lineFeedsOnly) {
        return std::nullopt;
    }
    return std::move(difference_);
}

// Once the edits are too many to work out, a line that is left of the file only adds to the count of the lines that
// differ: the rest of the file is counted, not cut into lines, so that a file of many lines is soon told.
void ListingComparison::CountRestAsDiffering() {
    std::string_view bytes = std::string_view(found_).substr(foundStart_);
    bool partLine = false;  // bytes after the last line feed
    for (;;) {
        difference_.differingLines += static_cast<std::size_t>(std::ranges::count(bytes, '\n'));
        partLine = bytes.empty() ? partLine : !bytes.ends_with('\n');
        if (foundEnded_) {
            break;
        }
        bytes = foundBytes_();
        foundEnded_ = bytes.empty();
    }
    difference_.differingLines += partLine ? 1 : 0;
}

ListingComparison::Line ListingComparison::NextFound() {
    for (;;) {
        const std::size_t lineFeed = found_.find('\n', foundStart_);
        if (lineFeed != std::string::npos) {
            const std::size_t start = std::exchange(foundStart_, lineFeed + 1);
            return CutAt<Line, LineEnd>(std::string_view(found_).substr(start), lineFeed - start);
        }
        if (foundEnded_) {
            const std::size_t start = std::exchange(foundStart_, found_.size());
            return start < found_.size() ? Line{std::string_view(found_).substr(start), LineEnd::kNone} : Line{};
        }
        found_.erase(0, std::exchange(foundStart_, 0));
        const std::string_view piece = foundBytes_();
        foundEnded_ = piece.empty();
        found_.append(piece);
    }
}

void ListingComparison::Compare(const Line& expected, const Line& found) {
    if (++line_ == 1) {
        difference_.lineFeedsOnly = found.end == LineEnd::kLineFeed;
    }
    const std::optional<std::string_view> expectedLine = Compared(expected, expectedText_);
    const std::optional<std::string_view> foundLine = Compared(found, foundText_);
    edits_.Add(foundLine, expectedLine);
    if (expectedLine == foundLine) {
        return;
    }
    if (difference_.differingLines == 0) {
        difference_.firstLine = line_;
        difference_.expected = Shown(expected);
        difference_.found = Shown(found);
    }
    ++difference_.differingLines;
}

// A line as it is compared: its bytes with its line end, or, in a file whose lines end in LF alone, with LF for
// either end.
std::optional<std::string_view> ListingComparison::Compared(const Line& line, std::string& text) const {
    if (line.end == LineEnd::kAbsent) {
        return std::nullopt;
    }
    if (difference_.lineFeedsOnly && line.end != LineEnd::kNone) {
        return text.assign(line.text).append("\n");
    }
    const std::size_t end = line.end == LineEnd::kCrLf ? 2 : line.end == LineEnd::kLineFeed ? 1 : 0;
    return std::string_view(line.text.data(), line.text.size() + end);
}

std::string ListingComparison::Shown(const Line& line) const {
    switch (line.end) {
        case LineEnd::kCrLf:
            return QuotedText(line.text);
        case LineEnd::kLineFeed:
            return QuotedText(line.text) + (difference_.lineFeedsOnly ? "" : " (ends in LF, not CR LF)");
        case LineEnd::kAbsent:
            return "end of file";
        case LineEnd::kNone:
            break;
    }
    return QuotedText(line.text) + " (no line end)";
}

}  // namespace veltrin
