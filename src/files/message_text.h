#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace veltrin {

// A name as the messages show it: in double quotes, with each control character written as \xHH, so that a
// name can neither break a message into lines nor hide part of itself.
std::string QuotedText(std::string_view utf8);
std::string QuotedFileName(const std::filesystem::path& fileName);

// The system's description of an error as the middle of a sentence: lower-case first letter, no full stop.
std::string ErrorFragment(const std::error_code& error);

}  // namespace veltrin
