#include "files/message_text.h"

namespace veltrin {

std::string QuotedFileName(const std::filesystem::path& fileName) {
    const std::u8string utf8 = fileName.u8string();
    return QuotedText({reinterpret_cast<const char*>(utf8.data()), utf8.size()});
}

std::string QuotedNameWhere(const std::filesystem::path& fileName) {
    if (fileName.has_parent_path() || fileName.empty()) {
        return QuotedFileName(fileName);
    }
    return QuotedFileName(fileName) + " in the folder " + QuotedFolderName(".");
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

Failure MissingFile() { return {"does not exist.", Failure::Kind::kMissing}; }

Failure NotAFile(bool folder) {
    return {folder ? "is a folder, not a file." : "is not an ordinary file.", Failure::Kind::kNotAFile};
}

Failure TooLarge(std::string_view amount) {
    return {"is too large: " + std::string(amount) + ".", Failure::Kind::kTooLarge};
}

Failure Unreadable(const std::error_code& error) {
    return {"cannot be read: " + ErrorFragment(error) + ".", Failure::Kind::kUnreadable, error};
}

}  // namespace veltrin
