#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "toolkit/text.h"

namespace veltrin {

// A file's name as the messages show it, as QuotedText shows a name typed in a box.
std::string QuotedFileName(const std::filesystem::path& fileName);

// The system's description of an error as the middle of a sentence: lower-case first letter, no full stop.
std::string ErrorFragment(const std::error_code& error);

}  // namespace veltrin
