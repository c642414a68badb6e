// The POSIX half of file_system.h. Where the system is Linux, it also uses the calls that only Linux has, unless the
// build asks for the portable half (VELTRIN_PORTABLE_POSIX), which is what every other POSIX system compiles.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#if defined(__linux__) && !defined(VELTRIN_PORTABLE_POSIX)
#define VELTRIN_LINUX_CALLS 1
#include <sys/xattr.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/file_system.h"

namespace veltrin::file_system {

namespace fs = std::filesystem;

namespace {

// A call made again for as long as a signal interrupts it.
template <typename Call>
auto Uninterrupted(Call call) {
    auto result = call();
    while (result == -1 && errno == EINTR) {
        result = call();
    }
    return result;
}

std::error_code Checked(int result) { return result == -1 ? LastError() : std::error_code(); }

// The folder that names are looked up in: an open one, or the current folder for a name given whole.
int At(int descriptor) { return descriptor == -1 ? AT_FDCWD : descriptor; }

bool IsMemberOf(gid_t group) {
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    groups.resize(static_cast<std::size_t>(std::max(::getgroups(static_cast<int>(groups.size()), groups.data()), 0)));
    return group == ::getegid() || std::find(groups.begin(), groups.end(), group) != groups.end();
}

FileFacts FactsFrom(const struct stat& status) {
    const bool administrator = ::geteuid() == 0;
    return {.exists = true,
            .ordinary = S_ISREG(status.st_mode),
            .folder = S_ISDIR(status.st_mode),
            .link = S_ISLNK(status.st_mode),
            .readOnly = (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0,
            .size = static_cast<std::uint64_t>(status.st_size),
            .device = status.st_dev,
            .number = status.st_ino,
            .names = status.st_nlink,
            .owner = status.st_uid,
            .group = status.st_gid,
            .permissions = status.st_mode & 07777U,
            .keepsMoreThanItsBytes = !administrator && (status.st_uid != ::geteuid() || !IsMemberOf(status.st_gid))};
}

// A lock on a staging file tells other runs that its run is alive. Where the file system has no locks, a run
// cannot tell, and a live run's staging file may be taken for a dead one's: its rename then fails.
bool Lock(int descriptor) { return ::flock(descriptor, LOCK_EX | LOCK_NB) == 0; }

}  // namespace

std::int64_t system_call::Read(int descriptor, char* into, std::size_t count) {
    return Uninterrupted([&] { return ::read(descriptor, into, count); });
}

std::int64_t system_call::Write(int descriptor, const char* from, std::size_t count) {
    return Uninterrupted([&] { return ::write(descriptor, from, count); });
}

int system_call::Close(int descriptor) { return ::close(descriptor); }

FileFacts File::Facts() const {
    struct stat status {};
    return ::fstat(descriptor_, &status) == 0 ? FactsFrom(status) : FileFacts{};
}

std::error_code File::Rewind() { return ::lseek(descriptor_, 0, SEEK_SET) < 0 ? LastError() : std::error_code(); }

std::error_code File::Truncate(std::uint64_t size) {
    return Checked(::ftruncate(descriptor_, static_cast<off_t>(size)));
}

std::error_code File::TakeAttributesOf(const FileFacts& target) {
    const FileFacts own = Facts();
    if ((own.owner != target.owner || own.group != target.group) &&
        ::fchown(descriptor_, target.owner, target.group) != 0) {
        return LastError();
    }
#ifdef VELTRIN_LINUX_CALLS
    // A folder's default access control list gives a new file one, which the file in its place did not have: a
    // listing with one of its own is rewritten in place.
    if (::fremovexattr(descriptor_, "system.posix_acl_access") != 0 && errno != ENODATA && errno != ENOTSUP) {
        return LastError();
    }
#endif
    // Last, as giving an owner clears the set-user and set-group bits.
    return Checked(::fchmod(descriptor_, target.permissions));
}

void File::StartWriteback() {
#ifdef VELTRIN_LINUX_CALLS
    // Only a hint: a failure here leaves the writing to Sync.
    (void)::sync_file_range(descriptor_, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

std::error_code File::Sync() {
    // Some file systems cannot sync a file; what was written is still there.
    return ::fsync(descriptor_) != 0 && errno != EINVAL && errno != ENOTSUP ? LastError() : std::error_code();
}

Folder::~Folder() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
}

std::error_code Folder::Open(const fs::path& path) {
    path_ = path;
    descriptor_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return descriptor_ == -1 ? LastError() : std::error_code();
}

std::error_code Folder::FactsOf(const fs::path& name, FileFacts& facts, bool followLink) const {
    struct stat status {};
    facts = {};
    if (::fstatat(At(descriptor_), name.c_str(), &status, followLink ? 0 : AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? std::error_code() : LastError();
    }
    facts = FactsFrom(status);
#ifdef VELTRIN_LINUX_CALLS
    // Extended attributes, access control lists among them.
    const ssize_t names = facts.ordinary ? ::llistxattr((path_ / name).c_str(), nullptr, 0) : 0;
    facts.keepsMoreThanItsBytes = facts.keepsMoreThanItsBytes || names > 0 || (names < 0 && errno != ENOTSUP);
#else
    // Other systems keep access control lists in ways that this half does not read: a listing that exists is
    // rewritten in place there, which keeps them whatever they are.
    facts.keepsMoreThanItsBytes = facts.ordinary;
#endif
    return {};
}

std::error_code Folder::CheckWritable(const fs::path& name) const {
    return Checked(::faccessat(At(descriptor_), name.c_str(), W_OK, 0));
}

std::error_code Folder::OpenToRead(const fs::path& name, File& file) const {
    file = File(::openat(At(descriptor_), name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    return file.Descriptor() == -1 ? LastError() : std::error_code();
}

std::error_code Folder::OpenToRewrite(const fs::path& name, File& file) const {
    file = File(::openat(At(descriptor_), name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (file.Descriptor() == -1) {
        return LastError();
    }
    return file.Facts().ordinary ? std::error_code() : std::make_error_code(std::errc::invalid_argument);
}

std::error_code Folder::CreateNew(const fs::path& name, File& file) const {
    file = File(::openat(At(descriptor_), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    return file.Descriptor() == -1 ? LastError() : std::error_code();
}

std::error_code Folder::Remove(const fs::path& name) const {
    return Checked(::unlinkat(At(descriptor_), name.c_str(), 0));
}

std::error_code Folder::Sync() const {
    return ::fsync(descriptor_) != 0 && errno != EINVAL && errno != ENOTSUP ? LastError() : std::error_code();
}

std::error_code Folder::CreateStaging(File& file, fs::path& name) const {
    name.clear();
#ifdef VELTRIN_LINUX_CALLS
    file = File(::openat(descriptor_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    // A file system without unnamed files says so in one of these ways; a named file then does the work.
    if (file.Descriptor() != -1) {
        Lock(file.Descriptor());
        return {};
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        return LastError();
    }
#endif
    for (int attempt = 0; attempt < kStagingAttempts; ++attempt) {
        const fs::path candidate = StagingName(attempt);
        const std::error_code error = CreateNew(candidate, file);
        if (!error) {
            name = candidate;
            Lock(file.Descriptor());
        }
        if (error != std::errc::file_exists) {
            return error;
        }
    }
    return std::make_error_code(std::errc::file_exists);
}

std::error_code Folder::PutInPlace(File& file, fs::path& name, const fs::path& target) const {
#ifdef VELTRIN_LINUX_CALLS
    // The unnamed file gets a short name in the folder, then takes the target's name.
    const std::string self = "/proc/self/fd/" + std::to_string(file.Descriptor());
    for (int attempt = 0; attempt < kStagingAttempts && name.empty(); ++attempt) {
        const fs::path candidate = StagingName(attempt);
        int linked = ::linkat(AT_FDCWD, self.c_str(), descriptor_, candidate.c_str(), AT_SYMLINK_FOLLOW);
        if (linked != 0 && errno != EEXIST) {  // no /proc: the direct way, which needs more privilege
            linked = ::linkat(file.Descriptor(), "", descriptor_, candidate.c_str(), AT_EMPTY_PATH);
        }
        if (linked == 0) {
            name = candidate;
        } else if (errno != EEXIST) {
            return LastError();
        }
    }
#endif
    // Renamed while still open and locked, so that no other run takes it for a dead one's.
    if (name.empty() || ::renameat(descriptor_, name.c_str(), descriptor_, target.c_str()) != 0) {
        return name.empty() ? std::make_error_code(std::errc::file_exists) : LastError();
    }
    name.clear();
    (void)file.Close();  // what it held is on the disk under the target's name already
    return {};
}

void Folder::RemoveStaleStaging() const {
    DIR* const folder = ::fdopendir(::dup(descriptor_));
    if (folder == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(folder)) {
        File staging;
        if (IsStagingName(entry->d_name) && !OpenToRead(entry->d_name, staging) && Lock(staging.Descriptor())) {
            (void)Remove(entry->d_name);
        }
    }
    ::closedir(folder);
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

void AdviseLargePages([[maybe_unused]] char* memory, [[maybe_unused]] std::size_t size) {
#ifdef VELTRIN_LINUX_CALLS
    // Only the whole large pages inside the memory; a failure leaves small pages, which work as well.
    constexpr std::size_t kLargePage = std::size_t{1} << 21;
    const std::size_t misalignment = reinterpret_cast<std::uintptr_t>(memory) % kLargePage;
    const std::size_t skipped = misalignment == 0 ? 0 : kLargePage - misalignment;
    if (size >= skipped + kLargePage) {
        (void)::madvise(memory + skipped, (size - skipped) / kLargePage * kLargePage, MADV_HUGEPAGE);
    }
#endif
}

fs::path StateFolder() {
    const char* const state = std::getenv("XDG_STATE_HOME");
    const char* const home = std::getenv("HOME");
    if (state != nullptr && fs::path(state).is_absolute()) {
        return fs::path(state) / "veltrin";
    }
    return home != nullptr ? fs::path(home) / ".local/state/veltrin" : fs::path();
}

SignalHold::SignalHold() {
    static_assert(sizeof(sigset_t) <= sizeof(saved_));
    sigset_t endRequests{};
    sigemptyset(&endRequests);
    sigaddset(&endRequests, SIGINT);
    sigaddset(&endRequests, SIGTERM);
    ::pthread_sigmask(SIG_BLOCK, &endRequests, reinterpret_cast<sigset_t*>(saved_.data()));
}

SignalHold::~SignalHold() { ::pthread_sigmask(SIG_SETMASK, reinterpret_cast<sigset_t*>(saved_.data()), nullptr); }

}  // namespace veltrin::file_system
