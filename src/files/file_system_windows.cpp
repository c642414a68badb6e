// The Windows half of file_system.h, on the C runtime's files and a few calls of the system. Windows has no calls
// that find a name within an open folder, so a folder is known by its path here.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "files/file_system.h"

namespace veltrin::file_system {

namespace fs = std::filesystem;

namespace {

unsigned int CallSize(std::size_t count) { return static_cast<unsigned int>(std::min<std::size_t>(count, INT_MAX)); }

std::error_code Opened(File& file, int descriptor) {
    file = File(descriptor);
    return descriptor < 0 ? LastError() : std::error_code();
}

// The C runtime's stat gives every file one name and no number; the system itself tells.
void Identify(HANDLE handle, FileFacts& facts) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (handle != INVALID_HANDLE_VALUE && ::GetFileInformationByHandle(handle, &information) != 0) {
        facts.device = information.dwVolumeSerialNumber;
        facts.number = (std::uint64_t{information.nFileIndexHigh} << 32U) | information.nFileIndexLow;
        facts.names = information.nNumberOfLinks;
    }
}

}  // namespace

std::int64_t system_call::Read(int descriptor, char* into, std::size_t count) {
    return ::_read(descriptor, into, CallSize(count));
}

std::int64_t system_call::Write(int descriptor, const char* from, std::size_t count) {
    return ::_write(descriptor, from, CallSize(count));
}

int system_call::Close(int descriptor) { return ::_close(descriptor); }

FileFacts File::Facts() const {
    struct _stat64 status {};
    FileFacts facts;
    if (::_fstat64(descriptor_, &status) == 0) {
        facts = {.exists = true,
                 .ordinary = (status.st_mode & _S_IFMT) == _S_IFREG,
                 .folder = (status.st_mode & _S_IFMT) == _S_IFDIR,
                 .size = static_cast<std::uint64_t>(status.st_size)};
        Identify(reinterpret_cast<HANDLE>(::_get_osfhandle(descriptor_)), facts);
    }
    return facts;
}

std::error_code File::Rewind() { return ::_lseeki64(descriptor_, 0, SEEK_SET) < 0 ? LastError() : std::error_code(); }

std::error_code File::Truncate(std::uint64_t size) {
    const errno_t result = ::_chsize_s(descriptor_, static_cast<__int64>(size));
    return result != 0 ? std::error_code(result, std::generic_category()) : std::error_code();
}

// The only permission that Windows keeps on a listing here is the read-only attribute, and a read-only target is
// refused before any file is created.
std::error_code File::TakeAttributesOf(const FileFacts& /*target*/) { return {}; }

void File::StartWriteback() {}

std::error_code File::Sync() { return ::_commit(descriptor_) != 0 ? LastError() : std::error_code(); }

Folder::~Folder() = default;

std::error_code Folder::Open(const fs::path& path) {
    path_ = path;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME
                   ? std::make_error_code(std::errc::no_such_file_or_directory)
                   : std::error_code(static_cast<int>(error), std::system_category());
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? std::error_code()
                                                        : std::make_error_code(std::errc::not_a_directory);
}

std::error_code Folder::FactsOf(const fs::path& name, FileFacts& facts, bool followLink) const {
    facts = {};
    const DWORD attributes = ::GetFileAttributesW((path_ / name).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return missing ? std::error_code() : std::error_code(static_cast<int>(error), std::system_category());
    }
    facts.exists = true;
    facts.link = !followLink && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    facts.folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    facts.ordinary = !facts.link && !facts.folder && (attributes & FILE_ATTRIBUTE_DEVICE) == 0;
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

// The C runtime's view of the read-only attribute is not the same in every runtime: ask for it directly.
std::error_code Folder::CheckWritable(const fs::path& name) const {
    const DWORD attributes = ::GetFileAttributesW((path_ / name).c_str());
    const bool readOnlyFile = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
                              (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    return readOnlyFile ? std::make_error_code(std::errc::permission_denied) : std::error_code();
}

std::error_code Folder::OpenToRead(const fs::path& name, File& file) const {
    return Opened(file, ::_wopen((path_ / name).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT));
}

std::error_code Folder::OpenToRewrite(const fs::path& name, File& file) const {
    if (const std::error_code error =
            Opened(file, ::_wopen((path_ / name).c_str(), _O_RDWR | _O_BINARY | _O_NOINHERIT))) {
        return error;
    }
    return file.Facts().ordinary ? std::error_code() : std::make_error_code(std::errc::invalid_argument);
}

std::error_code Folder::CreateNew(const fs::path& name, File& file) const {
    const int flags = _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT;
    return Opened(file, ::_wopen((path_ / name).c_str(), flags, _S_IREAD | _S_IWRITE));
}

std::error_code Folder::Remove(const fs::path& name) const {
    return ::_wremove((path_ / name).c_str()) != 0 ? LastError() : std::error_code();
}

std::error_code Folder::Sync() const { return {}; }

// A file that this runtime opened cannot be removed by another run while it is open, which tells a live run's
// staging file from a dead one's.
std::error_code Folder::CreateStaging(File& file, fs::path& name) const {
    for (int attempt = 0; attempt < kStagingAttempts; ++attempt) {
        name = StagingName(attempt);
        if (const std::error_code error = CreateNew(name, file); error != std::errc::file_exists) {
            name = error ? fs::path() : name;
            return error;
        }
    }
    name.clear();
    return std::make_error_code(std::errc::file_exists);
}

std::error_code Folder::PutInPlace(File& file, fs::path& name, const fs::path& target) const {
    if (const std::error_code error = file.Close()) {
        return error;
    }
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (::MoveFileExW((path_ / name).c_str(), (path_ / target).c_str(), flags) == 0) {
        return {static_cast<int>(::GetLastError()), std::system_category()};
    }
    name.clear();
    return {};
}

void Folder::RemoveStaleStaging() const {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(path_.empty() ? "." : path_, error)) {
        if (IsStagingName(entry.path().filename())) {
            (void)::_wremove(entry.path().c_str());
        }
    }
}

// Windows has no sticky shared folders, and creating a link there takes a privilege of its own.
bool MayFollowLink(const fs::path& /*link*/) { return true; }

void AdviseLargePages(char* /*memory*/, std::size_t /*size*/) {}

fs::path StateFolder() {
    const wchar_t* const local = ::_wgetenv(L"LOCALAPPDATA");
    return local != nullptr ? fs::path(local) / "veltrin" : fs::path();
}

// Ctrl-C ends a console program at once here; nothing holds it off.
SignalHold::SignalHold() = default;
SignalHold::~SignalHold() = default;

}  // namespace veltrin::file_system
