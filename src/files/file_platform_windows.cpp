// The Windows half of file_platform.h, on the C runtime's files and a few calls of the system.
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
#include <cstdio>

#include "files/file_platform.h"

namespace veltrin::file_platform {

namespace fs = std::filesystem;

namespace {

std::error_code LastSystemError() { return {static_cast<int>(::GetLastError()), std::system_category()}; }

unsigned int CallSize(std::size_t count) { return static_cast<unsigned int>(std::min<std::size_t>(count, INT_MAX)); }

std::error_code CheckOrdinary(const OpenFile& file, OpenedFacts& facts) {
    struct _stat64 status {};
    if (::_fstat64(file.Descriptor(), &status) != 0) {
        return LastError();
    }
    facts.ordinary = (status.st_mode & _S_IFMT) == _S_IFREG;
    facts.size = static_cast<std::uint64_t>(status.st_size);
    return {};
}

}  // namespace

std::int64_t system_call::Read(int descriptor, char* into, std::size_t count) {
    return ::_read(descriptor, into, CallSize(count));
}

std::int64_t system_call::Write(int descriptor, const char* from, std::size_t count) {
    return ::_write(descriptor, from, CallSize(count));
}

int system_call::Close(int descriptor) { return ::_close(descriptor); }

int system_call::CreateNew(const fs::path& fileName) {
    return ::_wopen(fileName.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
}

std::error_code OpenFile::Rewind() {
    return ::_lseeki64(descriptor_, 0, SEEK_SET) < 0 ? LastError() : std::error_code();
}

std::error_code OpenFile::Truncate(std::uint64_t size) {
    const errno_t result = ::_chsize_s(descriptor_, static_cast<__int64>(size));
    return result != 0 ? std::error_code(result, std::generic_category()) : std::error_code();
}

void OpenFile::StartWriteback() {}

std::error_code OpenFile::Sync() { return ::_commit(descriptor_) != 0 ? LastError() : std::error_code(); }

std::error_code OpenToRead(const fs::path& fileName, OpenFile& file, OpenedFacts& facts) {
    file.Adopt(::_wopen(fileName.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT));
    return file.Descriptor() < 0 ? LastError() : CheckOrdinary(file, facts);
}

std::error_code OpenToRewrite(const fs::path& fileName, OpenFile& file) {
    file.Adopt(::_wopen(fileName.c_str(), _O_RDWR | _O_BINARY | _O_NOINHERIT));
    OpenedFacts facts;
    const std::error_code error = file.Descriptor() < 0 ? LastError() : CheckOrdinary(file, facts);
    return error || facts.ordinary ? error : std::make_error_code(std::errc::invalid_argument);
}

std::error_code CheckWritable(const fs::path& path) {
    // The C runtime's view of the read-only attribute is not the same in every runtime: ask for it directly.
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    const bool readOnlyFile = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
                              (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    return readOnlyFile ? std::make_error_code(std::errc::permission_denied) : std::error_code();
}

// The C runtime's stat gives every file one name and no number; the system itself tells.
FileIdentity IdentifyFile(const fs::path& file) {
    const HANDLE handle = ::CreateFileW(file.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = handle != INVALID_HANDLE_VALUE && ::GetFileInformationByHandle(handle, &information) != 0;
    if (handle != INVALID_HANDLE_VALUE) {
        ::CloseHandle(handle);
    }
    return known ? FileIdentity{(std::uint64_t{information.nFileIndexHigh} << 32U) | information.nFileIndexLow,
                                information.nNumberOfLinks}
                 : FileIdentity{};
}

// Windows has no sticky shared folders, and creating a link there takes a privilege of its own.
bool MayFollowLink(const fs::path& /*link*/) { return true; }

StagingFile::~StagingFile() {
    // Windows removes no file that is still open.
    if (file_.Descriptor() >= 0) {
        (void)file_.Close();
    }
    if (!name_.empty()) {
        (void)::_wremove(name_.c_str());
    }
}

std::error_code StagingFile::Create(const fs::path& folder) {
    folder_ = folder;
    return CreateNamed();
}

// The only permission that Windows keeps on a listing here is the read-only attribute, and a read-only target is
// refused before any file is created.
std::error_code StagingFile::CarryAttributesOf(const fs::path& /*target*/) { return {}; }

std::error_code StagingFile::PutInPlace(const fs::path& target) {
    if (const std::error_code error = file_.Close()) {
        return error;
    }
    if (::MoveFileExW(name_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        return LastSystemError();
    }
    name_.clear();
    return {};
}

}  // namespace veltrin::file_platform
