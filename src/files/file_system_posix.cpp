// The POSIX half of file_system.h. Where the system is Linux, it also uses the calls that only Linux has, unless the
// build asks for the portable half (VELTRIN_PORTABLE_POSIX), which is what every other POSIX system compiles.
#include <fcntl.h>
#include <pthread.h>
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

std::error_code Checked(int result) { return result == -1 ? LastError() : std::error_code(); }

// The folder that names are looked up in: an open one, or the current folder for a name given whole.
int At(const File& folder) { return folder.Descriptor() == -1 ? AT_FDCWD : folder.Descriptor(); }

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
            .readOnly = (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0,
            .size = static_cast<std::uint64_t>(status.st_size),
            .device = status.st_dev,
            .number = status.st_ino,
            .modified = status.st_mtime * 1000000000LL + status.st_mtim.tv_nsec,
            .names = status.st_nlink,
            .owner = status.st_uid,
            .group = status.st_gid,
            .permissions = status.st_mode & 07777U,
            .keepsMoreThanItsBytes = !administrator && (status.st_uid != ::geteuid() || !IsMemberOf(status.st_gid))};
}

// Ctrl-C, the request to end and the hang-up.
sigset_t EndRequests() {
    sigset_t signals{};
    (void)(sigemptyset(&signals) + sigaddset(&signals, SIGINT) + sigaddset(&signals, SIGTERM) +
           sigaddset(&signals, SIGHUP));
    return signals;
}

}  // namespace

bool FileFacts::IsPrivate() const { return owner == ::geteuid() && (permissions & 077U) == 0; }

// No signal interrupts these: the programs hold off the signals that they take, and a disk does not wait.
std::int64_t system_call::Read(int descriptor, char* into, std::size_t count) {
    return ::read(descriptor, into, count);
}

std::int64_t system_call::Write(int descriptor, const char* from, std::size_t count) {
    return ::write(descriptor, from, count);
}

std::int64_t system_call::CopyRange([[maybe_unused]] int from, [[maybe_unused]] int to,
                                    [[maybe_unused]] std::size_t count) {
#ifdef VELTRIN_LINUX_CALLS
    return ::copy_file_range(from, nullptr, to, nullptr, count, 0);
#else
    errno = ENOSYS;
    return -1;
#endif
}

int system_call::Close(int descriptor) { return ::close(descriptor); }

// Where the file system has no locks, a run cannot tell: a live run's staging file may then be taken for a dead
// one's, and its rename fails.
bool system_call::Lock(int descriptor) { return ::flock(descriptor, LOCK_EX | LOCK_NB) == 0; }

FileFacts File::Facts() const {
    struct stat status {};
    FileFacts facts = ::fstat(descriptor_, &status) == 0 ? FactsFrom(status) : FileFacts();
#ifdef VELTRIN_LINUX_CALLS
    if (struct statx birth{}; facts.exists && ::statx(descriptor_, "", AT_EMPTY_PATH, STATX_BTIME, &birth) == 0 &&
                              (birth.stx_mask & STATX_BTIME) != 0) {
        facts.generation = static_cast<std::uint64_t>(birth.stx_btime.tv_sec) * 1000000000U + birth.stx_btime.tv_nsec;
    }
#endif
    return facts;
}

std::error_code File::Seek(std::uint64_t offset) {
    return ::lseek(descriptor_, static_cast<off_t>(offset), SEEK_SET) < 0 ? LastError() : std::error_code();
}

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

std::error_code File::Sync() const {
    // Some file systems cannot sync a file; what was written is still there.
    return ::fsync(descriptor_) != 0 && errno != EINVAL && errno != ENOTSUP ? LastError() : std::error_code();
}

std::error_code Folder::Open(const fs::path& path) {
    path_ = path;
    return Opened(opened_, ::openat(AT_FDCWD, path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

std::error_code Folder::FactsOf(const fs::path& name, FileFacts& facts, bool followLink) const {
    struct stat status {};
    facts = {};
    if (::fstatat(At(opened_), name.c_str(), &status, followLink ? 0 : AT_SYMLINK_NOFOLLOW) != 0) {
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
    return Checked(::faccessat(At(opened_), name.c_str(), W_OK, 0));
}

std::error_code Folder::OpenFile(const fs::path& name, File& file, bool rewrite) const {
    const int flags = (rewrite ? O_RDWR | O_NOFOLLOW : O_RDONLY) | O_NONBLOCK | O_CLOEXEC;
    return Opened(file, ::openat(At(opened_), name.c_str(), flags));
}

std::error_code Folder::CreateNew(const fs::path& name, File& file, std::uint32_t permissions) const {
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
    const std::error_code error = Opened(file, ::openat(At(opened_), name.c_str(), flags, permissions));
    // Another run that came upon it before it was locked took it for a dead run's, and removes it: another name.
    const bool taken =
        !error && ((!system_call::Lock(file.Descriptor()) && errno == EWOULDBLOCK) || file.Facts().names == 0);
    return taken ? std::make_error_code(std::errc::file_exists) : error;
}

std::error_code Folder::Remove(const fs::path& name) const {
    const std::error_code error = Checked(::unlinkat(At(opened_), name.c_str(), 0));
    if (!error) {
        (void)Sync();
    }
    return error;
}

std::error_code Folder::Sync() const { return opened_.Sync(); }

std::error_code StagingFile::TakeName(const fs::path& name) {
    // Renamed while still open and locked, so that no other run takes it for a dead one's.
    const int folder = folder_->opened_.Descriptor();
    if (::renameat(folder, name_.c_str(), folder, name.c_str()) != 0) {
        return LastError();
    }
    name_.clear();
    (void)file_.Close();  // what it held is on the disk under its name already
    return {};
}

bool Folder::Lock(const fs::path& name, std::string_view /*key*/, const FileFacts& listing, File& lock) const {
    // Nothing to hold before the listing exists. A run that held it may have put a new one in its place meanwhile:
    // the lock must be on the file that was checked. A file that cannot be opened to lock it is not held.
    return !listing.exists || OpenFile(name, lock) ||
           (system_call::Lock(lock.Descriptor()) && lock.Facts().IsSameFile(listing));
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
    constexpr std::uintptr_t kLargePage = std::uintptr_t{1} << 21;
    const auto address = reinterpret_cast<std::uintptr_t>(memory);
    const std::uintptr_t skipped = (kLargePage - address % kLargePage) % kLargePage;
    if (size >= skipped + kLargePage) {
        (void)::madvise(memory + skipped, (size - skipped) / kLargePage * kLargePage, MADV_HUGEPAGE);
    }
#endif
}

fs::path StateFolder() {
    // Only a whole name: a relative one would be looked up wherever the program happens to run.
    const char* const state = std::getenv("XDG_STATE_HOME");
    const char* const home = std::getenv("HOME");
    if (state != nullptr && fs::path(state).is_absolute()) {
        return fs::path(state) / "veltrin";
    }
    return home != nullptr && fs::path(home).is_absolute() ? fs::path(home) / ".local/state/veltrin" : fs::path();
}

void HoldEndRequests() {
    const sigset_t endRequests = EndRequests();
    ::pthread_sigmask(SIG_BLOCK, &endRequests, nullptr);
}

int TakeEndRequest() {
    const sigset_t endRequests = EndRequests();
    constexpr timespec kNow{};
    return std::max(::sigtimedwait(&endRequests, nullptr, &kNow), 0);
}

}  // namespace veltrin::file_system
