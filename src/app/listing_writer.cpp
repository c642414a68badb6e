#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <system_error>

#include "app/listing_file.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace veltrin {

namespace fs = std::filesystem;

namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';

std::string DisplayName(const fs::path& path) {
    const std::u8string utf8 = path.u8string();
    return {utf8.begin(), utf8.end()};
}

std::string Quoted(const fs::path& path) { return "\"" + DisplayName(path) + "\""; }

std::string ErrorText(int errorNumber) { return std::error_code(errorNumber, std::generic_category()).message(); }

// Follows a chain of symbolic links to the file that a write must replace. The last name need not exist: a
// link to a missing file makes the write create that file, as writing through the link would.
bool ResolveLinks(const fs::path& fileName, fs::path& resolved, std::string& failureReason) {
    constexpr int kMaxLinks = 40;
    resolved = fileName;
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        std::error_code error;
        const fs::file_status status = fs::symlink_status(resolved, error);
        if (status.type() != fs::file_type::symlink) {
            return true;
        }
        const fs::path target = fs::read_symlink(resolved, error);
        if (error) {
            failureReason = "Cannot follow the link " + Quoted(resolved) + ": " + error.message() + ".";
            return false;
        }
        resolved = target.is_absolute() ? target : resolved.parent_path() / target;
    }
    failureReason = "Cannot follow the link " + Quoted(fileName) + ": too many levels of links.";
    return false;
}

// Refuses a target that a plain overwrite could not or should not write: a folder, a device or other special
// file, a file the user may not write, and a file that nobody may write (so that a read-only listing is kept
// even for an administrator, who is not stopped by permission bits).
bool CheckTarget(const fs::path& target, const fs::path& shownName, bool& exists, std::string& failureReason) {
    exists = false;
    if (target.filename().empty()) {
        failureReason = Quoted(shownName) + " names a folder, not a file.";
        return false;
    }
    std::error_code error;
    const fs::file_status status = fs::status(target, error);
    if (status.type() == fs::file_type::not_found) {
        return true;
    }
    if (error) {
        failureReason = "Cannot examine " + Quoted(shownName) + ": " + error.message() + ".";
        return false;
    }
    if (status.type() == fs::file_type::directory) {
        failureReason = Quoted(shownName) + " is a folder, not a file.";
        return false;
    }
    if (status.type() != fs::file_type::regular) {
        failureReason = Quoted(shownName) + " is not an ordinary file.";
        return false;
    }
    exists = true;
    constexpr fs::perms kAnyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if ((status.permissions() & kAnyWrite) == fs::perms::none) {
        failureReason = Quoted(shownName) + " is read-only.";
        return false;
    }
#ifdef _WIN32
    // The C library's view of the read-only attribute is not the same in every runtime: ask for it directly.
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        failureReason = Quoted(shownName) + " is read-only.";
        return false;
    }
#else
    if (::access(target.c_str(), W_OK) != 0) {
        const int accessError = errno;
        failureReason = accessError == EACCES || accessError == EROFS
                            ? Quoted(shownName) + " is read-only."
                            : "Cannot write " + Quoted(shownName) + ": " + ErrorText(accessError) + ".";
        return false;
    }
#endif
    return true;
}

bool CheckFolder(const fs::path& folder, std::string& failureReason) {
    std::error_code error;
    const fs::file_status status = fs::status(folder, error);
    if (status.type() == fs::file_type::not_found) {
        failureReason = "The folder " + Quoted(folder) + " does not exist.";
        return false;
    }
    if (error) {
        failureReason = "Cannot examine the folder " + Quoted(folder) + ": " + error.message() + ".";
        return false;
    }
    if (status.type() != fs::file_type::directory) {
        failureReason = Quoted(folder) + " is not a folder.";
        return false;
    }
    return true;
}

// The file that receives a listing before it takes the target's place. It lives in the target's folder, so
// that the final rename stays on one volume, and it is created exclusively, so that it never replaces a file.
class TemporaryFile {
  public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    ~TemporaryFile() {
        CloseQuietly();
        if (!path_.empty()) {
            std::error_code ignored;
            fs::remove(path_, ignored);
        }
    }

    const fs::path& path() const { return path_; }

    bool Create(const fs::path& folder, const fs::path& targetName, int& errorNumber) {
        constexpr int kAttempts = 100;
        // O_EXCL settles any clash; the clock only makes a clash unlikely, so no state is kept between calls.
        const auto clock = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            const std::uint64_t stamp = (clock * std::uint64_t{6364136223846793005U}) ^
                                        (static_cast<std::uint64_t>(attempt + 1) * std::uint64_t{1442695040888963407U});
            fs::path name = ".";
            name += targetName;
            name += ".tmp" + std::to_string(stamp % 1000000000ULL);
            const fs::path candidate = folder / name;
#ifdef _WIN32
            fd_ = ::_wopen(candidate.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
            fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
#endif
            if (fd_ >= 0) {
                path_ = candidate;
                return true;
            }
            errorNumber = errno;
            if (errorNumber != EEXIST) {
                return false;
            }
        }
        return false;
    }

    // Gives the new file the owner, group and permission bits of the file it replaces, as far as the user may.
    void TakeAttributesOf(const fs::path& target) {
#ifdef _WIN32
        // The only permission that Windows keeps here is the read-only attribute, and a read-only target is
        // refused before any file is created.
        (void)target;
#else
        struct stat targetStatus {};
        if (::stat(target.c_str(), &targetStatus) != 0) {
            return;
        }
        // Changing the owner is allowed only to an administrator; another user keeps the group if a member.
        if (::fchown(fd_, targetStatus.st_uid, targetStatus.st_gid) != 0) {
            (void)::fchown(fd_, static_cast<uid_t>(-1), targetStatus.st_gid);
        }
        (void)::fchmod(fd_, targetStatus.st_mode & 07777);
#endif
    }

    bool Write(const std::string& text, int& errorNumber) {
        constexpr std::size_t kMaxWrite = std::size_t{1} << 30;
        const char* next = text.data();
        std::size_t left = text.size();
        while (left > 0) {
            const std::size_t count = std::min(left, kMaxWrite);
#ifdef _WIN32
            const int written = ::_write(fd_, next, static_cast<unsigned int>(count));
#else
            const ssize_t written = ::write(fd_, next, count);
#endif
            if (written < 0) {
                errorNumber = errno;
                if (errorNumber == EINTR) {
                    continue;
                }
                return false;
            }
            if (written == 0) {
                errorNumber = ENOSPC;
                return false;
            }
            next += written;
            left -= static_cast<std::size_t>(written);
        }
        return true;
    }

    // Puts the listing on the disk before it takes the target's place, so that a crash right after the rename
    // cannot leave an empty or partial listing under the target's name.
    bool Flush(int& errorNumber) {
#ifdef _WIN32
        if (::_commit(fd_) != 0) {
            errorNumber = errno;
            return false;
        }
#else
        if (::fsync(fd_) != 0) {
            errorNumber = errno;
            // Some file systems cannot sync a file; the data is still written and the rename still atomic.
            if (errorNumber != EINVAL && errorNumber != ENOTSUP) {
                return false;
            }
        }
#endif
        return true;
    }

    bool Close(int& errorNumber) {
#ifdef _WIN32
        const int result = ::_close(fd_);
#else
        const int result = ::close(fd_);
#endif
        fd_ = -1;
        if (result != 0) {
            errorNumber = errno;
            return false;
        }
        return true;
    }

    // Puts the closed file in the target's place in one step; afterwards there is nothing left to remove.
    bool ReplaceTarget(const fs::path& target, std::string& errorText) {
#ifdef _WIN32
        if (::MoveFileExW(path_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
            errorText = std::error_code(static_cast<int>(::GetLastError()), std::system_category()).message();
            return false;
        }
#else
        std::error_code error;
        fs::rename(path_, target, error);
        if (error) {
            errorText = error.message();
            return false;
        }
#endif
        path_.clear();
        return true;
    }

  private:
    void CloseQuietly() {
        if (fd_ >= 0) {
#ifdef _WIN32
            (void)::_close(fd_);
#else
            (void)::close(fd_);
#endif
            fd_ = -1;
        }
    }

    int fd_ = -1;
    fs::path path_;
};

// Writes elements 1 on, each followed by CR LF, through a buffer of modest size, so that a long listing is
// never held a second time as one text.
bool WriteLines(TemporaryFile& file, const OutputLines& outputLines, int& errorNumber) {
    constexpr std::size_t kBufferSize = std::size_t{1} << 20;
    std::string buffer;
    buffer.reserve(kBufferSize);
    for (std::size_t index = 1; index < outputLines.size(); ++index) {
        const ListingLine& line = outputLines[index];
        if (!buffer.empty() && buffer.size() + line.size() + 2 > kBufferSize) {
            if (!file.Write(buffer, errorNumber)) {
                return false;
            }
            buffer.clear();
        }
        buffer += line;
        buffer += kCarriageReturn;
        buffer += kLineFeed;
    }
    return buffer.empty() || file.Write(buffer, errorNumber);
}

}  // namespace

bool WriteListing(const fs::path& fileName, const OutputLines& outputLines, std::string& failureReason) {
    failureReason.clear();
    if (fileName.empty()) {
        failureReason = "No file name was given.";
        return false;
    }
    fs::path target;
    if (!ResolveLinks(fileName, target, failureReason)) {
        return false;
    }
    bool targetExists = false;
    if (!CheckTarget(target, fileName, targetExists, failureReason)) {
        return false;
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    if (!CheckFolder(folder, failureReason)) {
        return false;
    }

    TemporaryFile temporary;
    int errorNumber = 0;
    if (!temporary.Create(folder, target.filename(), errorNumber)) {
        failureReason = "Cannot create a file in the folder " + Quoted(folder) + ": " + ErrorText(errorNumber) + ".";
        return false;
    }
    if (targetExists) {
        temporary.TakeAttributesOf(target);
    }
    if (!WriteLines(temporary, outputLines, errorNumber) || !temporary.Flush(errorNumber) ||
        !temporary.Close(errorNumber)) {
        failureReason = "Cannot write " + Quoted(fileName) + ": " + ErrorText(errorNumber) + ".";
        return false;
    }
    std::string errorText;
    if (!temporary.ReplaceTarget(target, errorText)) {
        failureReason = "Cannot replace " + Quoted(fileName) + ": " + errorText + ".";
        return false;
    }
    return true;
}

}  // namespace veltrin
