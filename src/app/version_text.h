#pragma once

#include <string>

namespace veltrin {

inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 9;

// The status text of an idle window: the credit, then ", V", the major number and two digits of the minor.
std::string VersionText();

}  // namespace veltrin
