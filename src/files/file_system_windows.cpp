// The Windows half of file_system.h, on the C runtime's files and a few calls of the system. Windows has no calls
// that find a name within an open folder, so a folder is known by its path here.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string>

#include "files/file_system.h"

namespace veltrin::file_system {

namespace fs = std::filesystem;

namespace {

// The C runtime's stat gives every file one name and no number; the system itself tells.
void Identify(HANDLE handle, FileFacts& facts) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (handle != INVALID_HANDLE_VALUE && ::GetFileInformationByHandle(handle, &information) != 0) {
        facts.device = information.dwVolumeSerialNumber;
        facts.number = (std::uint64_t{information.nFileIndexHigh} << 32U) | information.nFileIndexLow;
        facts.names = information.nNumberOfLinks;
    }
}

// The console's last request to end, for the run to take: its handler has no other way to the run.
std::atomic<int> consoleRequest{0};  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

BOOL WINAPI HoldConsoleRequest(DWORD event) {
    consoleRequest = event == CTRL_C_EVENT ? SIGINT : event == CTRL_BREAK_EVENT ? SIGBREAK : 1;  // 1: a hang-up
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        // The console closes, and the system ends the program once this returns: it waits for the run to end it.
        ::Sleep(INFINITE);
    }
    return TRUE;
}

}  // namespace

bool FileFacts::IsPrivate() const { return true; }  // the user's profile, where the state folder is, is the user's

std::int64_t system_call::Read(int descriptor, char* into, std::size_t count) {
    return ::_read(descriptor, into, static_cast<unsigned int>(count));  // a listing is far below 2 GiB
}

std::int64_t system_call::Write(int descriptor, const char* from, std::size_t count) {
    return ::_write(descriptor, from, static_cast<unsigned int>(count));
}

std::int64_t system_call::CopyRange(int /*from*/, int /*to*/, std::size_t /*count*/) {
    errno = ENOSYS;
    return -1;
}

int system_call::Close(int descriptor) { return ::_close(descriptor); }

// A file that a run has open cannot be removed here, which is as good as a lock.
bool system_call::Lock(int /*descriptor*/) { return true; }

FileFacts File::Facts() const {
    struct _stat64 status {};
    FileFacts facts;
    if (::_fstat64(descriptor_, &status) == 0) {
        facts = {.exists = true,
                 .ordinary = (status.st_mode & _S_IFMT) == _S_IFREG,
                 .folder = (status.st_mode & _S_IFMT) == _S_IFDIR,
                 .size = static_cast<std::uint64_t>(status.st_size),
                 .modified = status.st_mtime};
        Identify(reinterpret_cast<HANDLE>(::_get_osfhandle(descriptor_)), facts);
    }
    return facts;
}

std::error_code File::Seek(std::uint64_t offset) {
    return ::_lseeki64(descriptor_, static_cast<__int64>(offset), SEEK_SET) < 0 ? LastError() : std::error_code();
}

std::error_code File::Truncate(std::uint64_t size) {
    return {::_chsize_s(descriptor_, static_cast<__int64>(size)), std::generic_category()};
}

// The only permission that Windows keeps on a listing here is the read-only attribute, and a read-only target is
// refused before any file is created.
std::error_code File::TakeAttributesOf(const FileFacts& /*target*/) { return {}; }

void File::StartWriteback() {}

std::error_code File::Sync() const { return ::_commit(descriptor_) != 0 ? LastError() : std::error_code(); }

std::error_code Folder::Open(const fs::path& path) {
    path_ = path;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    const DWORD error = attributes == INVALID_FILE_ATTRIBUTES ? ::GetLastError() : ERROR_SUCCESS;
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    return error != ERROR_SUCCESS ? std::error_code(static_cast<int>(error), std::system_category())
           : (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? std::error_code()
                                                          : std::make_error_code(std::errc::not_a_directory);
}

std::error_code Folder::FactsOf(const fs::path& name, FileFacts& facts, bool followLink) const {
    facts = {};
    const DWORD attributes = ::GetFileAttributesW((path_ / name).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        const bool missing =
            error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME;
        return missing ? std::error_code() : std::error_code(static_cast<int>(error), std::system_category());
    }
    facts.exists = true;
    const bool link = !followLink && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    facts.folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    facts.ordinary = !link && !facts.folder && (attributes & FILE_ATTRIBUTE_DEVICE) == 0;
    facts.readOnly = !facts.folder && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    const HANDLE handle =
        ::CreateFileW((path_ / name).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    Identify(handle, facts);
    if (handle != INVALID_HANDLE_VALUE) {
        ::CloseHandle(handle);
    }
    return {};
}

// The read-only attribute, the only permission kept here, is in the file's facts already; a folder takes new files.
std::error_code Folder::CheckWritable(const fs::path& /*name*/) const { return {}; }

std::error_code Folder::OpenFile(const fs::path& name, File& file, bool rewrite) const {
    const int flags = (rewrite ? _O_RDWR : _O_RDONLY) | _O_BINARY | _O_NOINHERIT;
    return Opened(file, ::_wopen((path_ / name).c_str(), flags));
}

// A file that this runtime opened cannot be removed by another run while it is open, which tells a live run's
// staging file from a dead one's.
std::error_code Folder::CreateNew(const fs::path& name, File& file, std::uint32_t /*permissions*/) const {
    const int flags = _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT;
    return Opened(file, ::_wopen((path_ / name).c_str(), flags, _S_IREAD | _S_IWRITE));
}

std::error_code Folder::Remove(const fs::path& name) const {
    return ::_wremove((path_ / name).c_str()) != 0 ? LastError() : std::error_code();
}

std::error_code Folder::Sync() const { return {}; }

std::error_code StagingFile::TakeName(const fs::path& name) {
    if (const std::error_code error = file_.Close()) {
        return error;
    }
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (::MoveFileExW((folder_->path_ / name_).c_str(), (folder_->path_ / name).c_str(), flags) == 0) {
        return {static_cast<int>(::GetLastError()), std::system_category()};
    }
    name_.clear();
    return {};
}

// A file cannot be replaced while it is open here, so a listing is held through a file of its own, which nobody
// else may open while it is open and which goes when it is closed. A lock that cannot be made is not held.
bool Folder::Lock(const fs::path& /*name*/, std::string_view key, const FileFacts& /*listing*/, File& lock) const {
    const fs::path name = fs::temp_directory_path() / ("veltrin-" + std::string(key) + ".lock");
    int descriptor = -1;
    const errno_t error = ::_wsopen_s(&descriptor, name.c_str(), _O_CREAT | _O_RDWR | _O_TEMPORARY | _O_NOINHERIT,
                                      _SH_DENYRW, _S_IREAD | _S_IWRITE);
    lock = File(descriptor);
    return error != EACCES;  // another run has it open
}

// Windows has no sticky shared folders, and creating a link there takes a privilege of its own.
bool MayFollowLink(const fs::path& /*link*/) { return true; }

void AdviseLargePages(char* /*memory*/, std::size_t /*size*/) {}

fs::path StateFolder() {
    const wchar_t* const local = ::_wgetenv(L"LOCALAPPDATA");
    return local != nullptr && fs::path(local).is_absolute() ? fs::path(local) / "veltrin" : fs::path();
}

void HoldEndRequests() { ::SetConsoleCtrlHandler(HoldConsoleRequest, TRUE); }

int TakeEndRequest() { return consoleRequest.exchange(0); }

}  // namespace veltrin::file_system
