#pragma once

#include "toolkit/line_sink.h"

namespace veltrin {

// Appends the block that closes every +2 listing: the sound socket drawing and the table of how the
// address ranges of the 128 correspond to those of the three +2 models. It does not depend on the model.
void AppendModelDifferences(LineSink& listing);

}  // namespace veltrin
