#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "files/failure.h"
#include "toolkit/text.h"

namespace veltrin {

// A file's name as the messages show it, as QuotedText shows a name typed in a box.
std::string QuotedFileName(const std::filesystem::path& fileName);
// A name as typed, and, when it says no folder, the folder in which it was looked for, in full: "Spectrum128_ROM0.asm"
// in the folder "/home/user". A window started from a menu runs in a folder that the user never chose.
std::string QuotedNameWhere(const std::filesystem::path& fileName);
// A folder in full, as "." or "sub" say nothing to a user who did not start the program there.
std::string QuotedFolderName(const std::filesystem::path& folder);

// The system's description of an error, as MidSentence words it.
std::string ErrorFragment(const std::error_code& error);

// Why a listing file could not be read, each kind worded once: "does not exist.", "is a folder, not a file.",
// "is too large: 268435457 bytes.", "cannot be read: input/output error.".
Failure MissingFile();
Failure NotAFile(bool folder);
Failure TooLarge(std::string_view amount);
Failure Unreadable(const std::error_code& error);

}  // namespace veltrin
