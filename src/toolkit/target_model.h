#pragma once

namespace veltrin {

// The +2 model whose addresses a conversion writes.
enum class TargetModel { kEnglish, kSpanish, kFrench };

}  // namespace veltrin
