#include "commands/listing_difference.h"

#include <utility>

#include "files/listing_file.h"
#include "files/message_text.h"

namespace veltrin {

namespace {

// Cuts the line that ends at the line feed, as editors do, so that the line numbers are those the user sees. The
// line end is kept apart from the text: a line that lost its CR differs from one that kept it.
template <typename Line, typename LineEnd>
Line CutAt(std::string_view bytes, std::size_t lineFeed) {
    std::string_view text = bytes.substr(0, lineFeed);
    const bool crLf = text.ends_with('\r');
    return {crLf ? text.substr(0, text.size() - 1) : text, crLf ? LineEnd::kCrLf : LineEnd::kLineFeed};
}

}  // namespace

void ListingComparison::Expect(std::string_view bytes) {
    expected_.append(bytes);
    std::size_t start = 0;
    for (std::size_t lineFeed = expected_.find('\n'); lineFeed != std::string::npos;
         lineFeed = expected_.find('\n', start)) {
        Compare(CutAt<Line, LineEnd>(std::string_view(expected_).substr(start), lineFeed - start), NextFound());
        start = lineFeed + 1;
    }
    expected_.erase(0, start);
}

Expected<std::optional<ListingDifference>> ListingComparison::Finish() {
    if (!expected_.empty()) {
        Compare({expected_, LineEnd::kNone}, NextFound());
    }
    for (Line found = NextFound(); found.end != LineEnd::kAbsent; found = NextFound()) {
        Compare({}, found);
    }
    if (failure_) {
        return *failure_;
    }
    difference_.changes = edits_.Finish();
    if (difference_.differingLines == 0 && !difference_.lineFeedsOnly) {
        return std::optional<ListingDifference>();
    }
    return std::optional<ListingDifference>(std::move(difference_));
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
        const Expected<std::string_view> piece = foundBytes_();
        foundEnded_ = !piece || piece->empty() || line_ > kMaxSourceLines;
        if (!piece || line_ > kMaxSourceLines) {
            failure_ = piece ? Failure{"is too large: more than " + std::to_string(kMaxSourceLines) + " lines."}
                             : Failure{piece.Reason()};
        } else {
            found_.append(*piece);
        }
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
