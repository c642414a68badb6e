#include "floor_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <memory>

namespace veltrin::bench {

namespace {

bool WriteFile(const std::filesystem::path& path, const char* bytes, std::size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    for (std::size_t done = 0; done < size;) {
        const ssize_t written = ::write(fd, bytes + done, size - done);
        if (written <= 0) {
            ::close(fd);
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

}  // namespace

bool CopyToFiles(const std::filesystem::path& source, std::span<const std::filesystem::path> targets) {
    const int fd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat status {};
    if (fd < 0 || ::fstat(fd, &status) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return false;
    }
    const auto size = static_cast<std::size_t>(status.st_size);
    const std::unique_ptr<char[]> bytes = std::make_unique_for_overwrite<char[]>(size);
    std::size_t filled = 0;
    while (filled < size) {
        const ssize_t count = ::read(fd, bytes.get() + filled, size - filled);
        if (count <= 0) {
            break;
        }
        filled += static_cast<std::size_t>(count);
    }
    ::close(fd);
    if (filled != size) {
        return false;
    }
    return std::ranges::all_of(
        targets, [&bytes, size](const std::filesystem::path& target) { return WriteFile(target, bytes.get(), size); });
}

}  // namespace veltrin::bench
