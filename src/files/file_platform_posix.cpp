// The POSIX half of file_platform.h.
#include <fcntl.h>
#include <linux/limits.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "files/file_platform.h"

namespace veltrin::file_platform {

namespace fs = std::filesystem;

namespace {

// A call made again for as long as a signal interrupts it.
template <typename Call>
ssize_t Uninterrupted(Call call) {
    ssize_t result = call();
    while (result == -1 && errno == EINTR) {
        result = call();
    }
    return result;
}

// The names of a file's extended attributes, each ended by a null byte, as the system lists them.
template <typename Lister>
std::error_code ListAttributeNames(Lister list, std::string& names) {
    const ssize_t size = list(nullptr, 0);
    if (size < 0) {
        return errno == ENOTSUP ? std::error_code() : LastError();
    }
    names.resize(static_cast<std::size_t>(size));
    const ssize_t listed = list(names.data(), names.size());
    if (listed < 0) {
        return LastError();
    }
    names.resize(static_cast<std::size_t>(listed));
    return {};
}

std::vector<std::string> SplitNames(const std::string& names) {
    std::vector<std::string> split;
    for (std::size_t start = 0; start < names.size();) {
        const std::size_t end = names.find('\0', start);
        split.push_back(names.substr(start, end - start));
        start = end + 1;
    }
    return split;
}

// Copies every extended attribute of the target to the open file, access control lists included, and takes
// away those that the file has and the target has not (a folder's default list gives a new file one).
std::error_code CopyExtendedAttributes(const fs::path& target, int descriptor) {
    std::string listed;
    if (const std::error_code error = ListAttributeNames(
            [&](char* into, std::size_t size) { return ::listxattr(target.c_str(), into, size); }, listed)) {
        return error;
    }
    const std::vector<std::string> targetNames = SplitNames(listed);
    // Room for the largest value there can be, so that each value is read in one call: a value that grew between
    // asking its size and reading it would fail the copy.
    std::string value(XATTR_SIZE_MAX, '\0');
    for (const std::string& name : targetNames) {
        const ssize_t got = ::getxattr(target.c_str(), name.c_str(), value.data(), value.size());
        if (got < 0 || ::fsetxattr(descriptor, name.c_str(), value.data(), static_cast<std::size_t>(got), 0) != 0) {
            return LastError();
        }
    }
    if (const std::error_code error = ListAttributeNames(
            [&](char* into, std::size_t size) { return ::flistxattr(descriptor, into, size); }, listed)) {
        return error;
    }
    for (const std::string& name : SplitNames(listed)) {
        if (std::find(targetNames.begin(), targetNames.end(), name) == targetNames.end() &&
            ::fremovexattr(descriptor, name.c_str()) != 0) {
            return LastError();
        }
    }
    return {};
}

}  // namespace

std::int64_t system_call::Read(int descriptor, char* into, std::size_t count) {
    return Uninterrupted([&] { return ::read(descriptor, into, count); });
}

std::int64_t system_call::Write(int descriptor, const char* from, std::size_t count) {
    return Uninterrupted([&] { return ::write(descriptor, from, count); });
}

int system_call::Close(int descriptor) { return ::close(descriptor); }

int system_call::CreateNew(const fs::path& fileName) {
    return ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

std::error_code OpenFile::Rewind() { return ::lseek(descriptor_, 0, SEEK_SET) < 0 ? LastError() : std::error_code(); }

std::error_code OpenFile::Truncate(std::uint64_t size) {
    return ::ftruncate(descriptor_, static_cast<off_t>(size)) != 0 ? LastError() : std::error_code();
}

void OpenFile::StartWriteback() {
#ifdef __linux__
    // Only a hint: a failure here leaves the writing to Sync.
    (void)::sync_file_range(descriptor_, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

std::error_code OpenFile::Sync() {
    // Some file systems cannot sync a file; what was written is still there.
    if (::fsync(descriptor_) != 0 && errno != EINVAL && errno != ENOTSUP) {
        return LastError();
    }
    return {};
}

std::error_code OpenToRead(const fs::path& fileName, OpenFile& file, OpenedFacts& facts) {
    file.Adopt(::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (file.Descriptor() == -1 || ::fstat(file.Descriptor(), &status) != 0) {
        return LastError();
    }
    facts.ordinary = S_ISREG(status.st_mode);
    facts.size = static_cast<std::uint64_t>(status.st_size);
    return {};
}

std::error_code OpenToRewrite(const fs::path& fileName, OpenFile& file) {
    file.Adopt(::open(fileName.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (file.Descriptor() == -1 || ::fstat(file.Descriptor(), &status) != 0) {
        return LastError();
    }
    return S_ISREG(status.st_mode) ? std::error_code() : std::make_error_code(std::errc::invalid_argument);
}

std::error_code CheckWritable(const fs::path& path) {
    return ::access(path.c_str(), W_OK) != 0 ? LastError() : std::error_code();
}

FileIdentity IdentifyFile(const fs::path& file) {
    struct stat status {};
    return ::stat(file.c_str(), &status) == 0 ? FileIdentity{status.st_ino, status.st_nlink} : FileIdentity{};
}

bool MayFollowLink(const fs::path& link) {
    struct stat linkStatus {};
    struct stat folderStatus {};
    const fs::path folder = link.has_parent_path() ? link.parent_path() : fs::path(".");
    if (::lstat(link.c_str(), &linkStatus) != 0 || ::stat(folder.c_str(), &folderStatus) != 0) {
        return true;  // reading the link fails on its own
    }
    const bool shared = (folderStatus.st_mode & S_ISVTX) != 0 && (folderStatus.st_mode & S_IWOTH) != 0;
    return !shared || linkStatus.st_uid == ::geteuid() || linkStatus.st_uid == folderStatus.st_uid;
}

StagingFile::~StagingFile() {
    if (!name_.empty()) {
        (void)::unlink(name_.c_str());
    }
}

std::error_code StagingFile::Create(const fs::path& folder) {
    folder_ = folder;
#ifdef O_TMPFILE
    file_.Adopt(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    // A file system without unnamed files says so in one of these ways; a named file then does the work.
    if (file_.Descriptor() != -1 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) {
        return file_.Descriptor() != -1 ? std::error_code() : LastError();
    }
#endif
    return CreateNamed();
}

std::error_code StagingFile::CarryAttributesOf(const fs::path& target) {
    struct stat targetStatus {};
    const int descriptor = file_.Descriptor();
    // Another owner can be given only by an administrator, another group only by one of its members.
    if (::stat(target.c_str(), &targetStatus) != 0 ||
        ::fchown(descriptor, targetStatus.st_uid, targetStatus.st_gid) != 0) {
        return LastError();
    }
    if (const std::error_code error = CopyExtendedAttributes(target, descriptor)) {
        return error;
    }
    // Last, as giving an owner clears the set-user and set-group bits.
    return ::fchmod(descriptor, targetStatus.st_mode & 07777) != 0 ? LastError() : std::error_code();
}

std::error_code StagingFile::PutInPlace(const fs::path& target) {
    if (name_.empty()) {
        // The unnamed file gets a short name in the target's folder, then takes the target's name.
        const std::string self = "/proc/self/fd/" + std::to_string(file_.Descriptor());
        for (int attempt = 0; attempt < kStagingAttempts && name_.empty(); ++attempt) {
            const fs::path candidate = folder_ / StagingName(attempt);
            int linked = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW);
            if (linked != 0 && errno != EEXIST) {  // no /proc: the direct way, which needs more privilege
                linked = ::linkat(file_.Descriptor(), "", AT_FDCWD, candidate.c_str(), AT_EMPTY_PATH);
            }
            if (linked == 0) {
                name_ = candidate;
            } else if (errno != EEXIST) {
                return LastError();
            }
        }
        if (name_.empty()) {
            return LastError();
        }
    }
    if (const std::error_code error = file_.Close()) {
        return error;
    }
    if (::rename(name_.c_str(), target.c_str()) != 0) {
        return LastError();
    }
    name_.clear();
    return {};
}

}  // namespace veltrin::file_platform
