#pragma once

#include <iosfwd>

#include "commands/create_view.h"

namespace veltrin {

enum class CheckOutcome {
    kUpToDate,   // each +2 listing on disk is byte for byte the one that a run would write
    kOutOfDate,  // a listing is missing, cannot be read or differs
    kError,      // the 128 listing could not be loaded or a listing could not be derived; status "Error!"
};

// What a check writes of each listing.
struct CheckReport {
    bool problemsOnly = false;  // nothing of a listing that is up to date, and a diff that shows all alone
    bool diffs = false;         // a unified diff of each listing that differs
};

// Derives the three +2 listings in memory and compares each with the file named for its model, so that a
// repository's build can tell a listing edited by hand or not regenerated. Files are only ever opened for
// reading: nothing is created, replaced or touched. Writes one report per model to `report`. A failed load or
// derivation shows the messages of a run through the view, sets its status to "Error!" and ends the check.
CheckOutcome CheckListings(CreateView& view, std::ostream& report, CheckReport options);

}  // namespace veltrin
