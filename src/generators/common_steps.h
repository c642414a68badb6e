#pragma once

#include <string_view>

#include "generators/listing_script.h"

namespace veltrin {

// The script pieces that every +2 model runs alike.

// From the 128 title block to the first moved routine: the release notes, a note on where the listing comes
// from, and the +2 copyright message in place of the 128 one.
void CopyReleaseNotesAndCopyright(ListingScript& script, std::string_view regenerateLine);

// The main menu jump table and its text count, without the Tape Tester entry.
void CopyMainMenuJumpTable(ListingScript& script);

// From the Tape Tester menu option handler to the end of the listing: the remaining Tape Tester blocks are
// dropped, the unused space at the top of the ROM is listed, the notes are copied and the listing closed.
void CopyToEndWithoutTapeTester(ListingScript& script, const UnusedSpaceBlock& unusedSpace);

}  // namespace veltrin
