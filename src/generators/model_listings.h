#pragma once

#include "generators/conversion_host.h"
#include "toolkit/line_sink.h"
#include "toolkit/source_lines.h"

namespace veltrin {

// Each derives one +2 ROM 0 listing from the 128 ROM 0 listing and writes its lines to the sink as they are
// derived. A step that cannot find its label shows its message through the host ("Convert Error") and the
// result is false; any other run-time error gives false with no message. Either way the lines written so far
// are not the listing: the caller drops them. RunCancelled from the host's yield passes through.
bool CreatePlus2Listing(const SourceLines& sourceLines, LineSink& listing, ConversionHost& host);
bool CreateSpanishListing(const SourceLines& sourceLines, LineSink& listing, ConversionHost& host);
bool CreateFrenchListing(const SourceLines& sourceLines, LineSink& listing, ConversionHost& host);

}  // namespace veltrin
