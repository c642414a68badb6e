#pragma once

#include <string>

namespace veltrin {

// The application's version, from the project's version in the build.
inline constexpr int kVersionMajor = VELTRIN_VERSION_MAJOR;
inline constexpr int kVersionMinor = VELTRIN_VERSION_MINOR;

// The status text of an idle window: the credit, then ", V", the major number and two digits of the minor.
std::string VersionText();

}  // namespace veltrin
