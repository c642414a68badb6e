#include "commands/version_text.h"

namespace veltrin {

std::string VersionText() {
    // The minor number is always shown with two digits: 9 reads as "09", 123 as "23".
    const std::string minor = "0" + std::to_string(kVersionMinor);
    return "Veltrin team, V" + std::to_string(kVersionMajor) + "." + minor.substr(minor.size() - 2);
}

}  // namespace veltrin
