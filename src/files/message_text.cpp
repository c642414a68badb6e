#include "files/message_text.h"

namespace veltrin {

std::string QuotedFileName(const std::filesystem::path& fileName) {
    const std::u8string utf8 = fileName.u8string();
    return QuotedText({reinterpret_cast<const char*>(utf8.data()), utf8.size()});
}

std::string QuotedNameWhere(const std::filesystem::path& fileName) {
    const bool whole = fileName.has_parent_path() || fileName.empty();
    return QuotedFileName(fileName) + (whole ? "" : " in the folder " + QuotedFolderName("."));
}

std::string QuotedFolderName(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::path whole = std::filesystem::absolute(folder, error).lexically_normal();
    if (!whole.has_filename() && whole.has_relative_path()) {
        whole = whole.parent_path();  // "/home/user/." is "/home/user/" now
    }
    return QuotedFileName(error ? folder : whole);
}

std::string ErrorFragment(const std::error_code& error) { return MidSentence(error.message()); }

namespace {

// A kind's words end a message as a sentence, and stand as a line of a report alone.
Failure ReadingFailure(const std::string& words, Failure::Kind kind) { return {words + ".", kind, words}; }

}  // namespace

Failure MissingFile() { return {"does not exist.", Failure::Kind::kMissing, "missing"}; }

Failure NotAFile(bool folder) {
    return ReadingFailure(folder ? "is a folder, not a file" : "is not an ordinary file", Failure::Kind::kNotAFile);
}

Failure TooLarge(std::string_view amount) {
    return ReadingFailure("is too large: " + std::string(amount), Failure::Kind::kTooLarge);
}

Failure Unreadable(const std::error_code& error) {
    return ReadingFailure("cannot be read: " + ErrorFragment(error), Failure::Kind::kUnreadable);
}

}  // namespace veltrin
