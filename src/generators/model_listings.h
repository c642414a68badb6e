#pragma once

#include "generators/conversion_host.h"
#include "toolkit/listing_lines.h"

namespace veltrin {

// Each derives one +2 ROM 0 listing from the 128 ROM 0 listing. outputLines arrives holding the empty element
// 0 and leaves with the listing from element 1 on. A step that cannot find its label shows its message through
// the host ("Convert Error") and the result is false; any other run-time error gives false with no message.
// RunCancelled from the host's yield passes through.
bool CreatePlus2Listing(const SourceLines& sourceLines, OutputLines& outputLines, ConversionHost& host);
bool CreateSpanishListing(const SourceLines& sourceLines, OutputLines& outputLines, ConversionHost& host);
bool CreateFrenchListing(const SourceLines& sourceLines, OutputLines& outputLines, ConversionHost& host);

}  // namespace veltrin
