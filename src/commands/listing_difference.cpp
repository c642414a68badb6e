#include "commands/listing_difference.h"

#include <algorithm>
#include <vector>

#include "files/message_text.h"

namespace veltrin {

namespace {

// A derived listing ends every line with CR LF; a file that went through a tool that changes line ends may not.
// Past the end of the shorter listing, its lines are absent.
enum class LineEnd { kCrLf, kLineFeed, kNone, kAbsent };

struct FileLine {
    std::string_view text;
    LineEnd end = LineEnd::kNone;
    bool operator==(const FileLine&) const = default;
};

// Cuts bytes into lines at each LF, as editors do, so that the line numbers are those the user sees. The line
// end is kept apart from the text: a line that lost its CR differs from one that kept it.
std::vector<FileLine> CutLines(std::string_view bytes) {
    std::vector<FileLine> lines;
    while (!bytes.empty()) {
        const std::size_t lineFeed = bytes.find('\n');
        if (lineFeed == std::string_view::npos) {
            lines.push_back({bytes, LineEnd::kNone});
            break;
        }
        FileLine line{bytes.substr(0, lineFeed), LineEnd::kLineFeed};
        if (line.text.ends_with('\r')) {
            line.text.remove_suffix(1);
            line.end = LineEnd::kCrLf;
        }
        lines.push_back(line);
        bytes.remove_prefix(lineFeed + 1);
    }
    return lines;
}

std::string ShownLine(const FileLine& line) {
    switch (line.end) {
        case LineEnd::kCrLf:
            return QuotedText(line.text);
        case LineEnd::kLineFeed:
            return QuotedText(line.text) + " (ends in LF, not CR LF)";
        case LineEnd::kAbsent:
            return "end of file";
        case LineEnd::kNone:
            break;
    }
    return QuotedText(line.text) + " (no line end)";
}

}  // namespace

std::optional<ListingDifference> FindListingDifference(std::string_view expectedBytes, std::string_view foundBytes) {
    if (expectedBytes == foundBytes) {
        return std::nullopt;
    }
    std::vector<FileLine> expected = CutLines(expectedBytes);
    std::vector<FileLine> found = CutLines(foundBytes);
    const std::size_t lineCount = std::max(expected.size(), found.size());
    expected.resize(lineCount, {{}, LineEnd::kAbsent});
    found.resize(lineCount, {{}, LineEnd::kAbsent});
    ListingDifference difference;
    for (std::size_t index = 0; index < lineCount; ++index) {
        if (expected[index] == found[index]) {
            continue;
        }
        if (difference.differingLines == 0) {
            difference.firstLine = index + 1;
            difference.expected = ShownLine(expected[index]);
            difference.found = ShownLine(found[index]);
        }
        ++difference.differingLines;
    }
    return difference;
}

}  // namespace veltrin
