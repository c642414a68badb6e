#pragma once

#include <iosfwd>
#include <string_view>

#include "commands/listing_difference.h"

namespace veltrin {

// How a check reports a listing on disk that is not the derived one.
struct DifferenceReport {
    std::string_view sourceName;  // the 128 listing that the derived listings come from, for the diff
    bool diffs = false;           // the edits as a unified diff too, after the report
    bool quiet = false;           // a diff that shows all of the difference stands alone
};

// Writes the report of a listing that differs, after its heading: a summary of its changes as a person counts them,
// or of where it starts to differ when there are too many to work out, with the derived and the found line of the
// first change; then, with diffs, the unified diff that would turn the file into the derived listing.
void WriteDifferenceReport(std::ostream& out, std::string_view heading, std::string_view fileName,
                           const DifferenceReport& report, const ListingDifference& difference);

}  // namespace veltrin
