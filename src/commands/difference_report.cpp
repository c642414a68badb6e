#include "commands/difference_report.h"

#include <algorithm>
#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

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

}  // namespace

void WriteDifferenceReport(std::ostream& out, std::string_view heading, std::string_view fileName,
                           const DifferenceReport& report, const ListingDifference& difference) {
    const bool differs = difference.differingLines > 0;
    const std::string_view hunks = difference.changes ? std::string_view(difference.changes->hunks) : "";
    if (!report.quiet || hunks.empty() || difference.lineFeedsOnly) {
        std::string summary = difference.lineFeedsOnly ? "its lines end in LF, not CR LF" : "";
        if (differs) {
            summary += summary.empty() ? "" : "; ";
            summary += difference.changes ? ChangesText(difference.changes->changes)
                                          : "differs from line " + std::to_string(difference.firstLine) +
                                                ", too many changes to list them";
        }
        out << heading << summary << "\n";
        if (differs) {
            out << "  expected: " << difference.expected << "\n  found:    " << difference.found << "\n";
        }
        if (differs && !difference.changes) {
            out << "  " << difference.differingLines
                << (difference.differingLines == 1 ? " line differs" : " lines differ") << " in all\n";
        }
    }
    if (!hunks.empty()) {
        out << "--- " << fileName << "\n+++ " << fileName << "\tderived from " << report.sourceName << "\n" << hunks;
    }
}

}  // namespace veltrin
