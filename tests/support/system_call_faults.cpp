// Stands in for the C library's file functions in a test program: each call goes on to the library's own, unless
// it is one that the running test armed to fail. The armed faults are the program's one piece of shared state,
// as the functions that consult them have the library's signatures and no other way in.
#include "support/system_call_faults.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <new>
#include <sstream>
#include <string_view>
#include <vector>

namespace veltrin::testing_support {
namespace {

struct ArmedFault {
    std::string function;
    int callsLeft = 0;  // until the one that fails; 0 once it struck
    int error = 0;
};

constinit std::vector<ArmedFault> armed;  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

// Whether this call of the function is one that fails; if so, errno holds its error.
bool Fails(std::string_view function) {
    bool fails = false;
    for (ArmedFault& fault : armed) {
        if (fault.callsLeft > 0 && function == fault.function && --fault.callsLeft == 0) {
            errno = fault.error;
            fails = true;
        }
    }
    return fails;
}

template <typename Function>
Function* Next(const char* name) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
    return reinterpret_cast<Function*>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

void ArmSystemCallFaults(const std::string& faults) {
    std::istringstream texts(faults);
    armed.clear();
    for (ArmedFault fault; texts >> fault.function >> fault.callsLeft >> fault.error; texts.ignore(1)) {
        armed.push_back(fault);
    }
}

bool DisarmSystemCallFaults() {
    const bool allStruck = std::ranges::all_of(armed, [](const ArmedFault& fault) { return fault.callsLeft == 0; });
    armed.clear();
    return allStruck;
}

}  // namespace veltrin::testing_support

// NOLINTBEGIN: the C library's names and signatures
#define VELTRIN_FAULTY(Result, name, Parameters, Arguments, ...)                            \
    extern "C" Result name Parameters __VA_ARGS__ {                                         \
        static auto* const next = veltrin::testing_support::Next<Result Parameters>(#name); \
        return veltrin::testing_support::Fails(#name) ? -1 : next Arguments;                \
    }

VELTRIN_FAULTY(ssize_t, copy_file_range, (int in, loff_t* at, int out, loff_t* to, size_t count, unsigned flags),
               (in, at, out, to, count, flags))
VELTRIN_FAULTY(ssize_t, write, (int fd, const void* from, size_t count), (fd, from, count))
VELTRIN_FAULTY(off_t, lseek, (int fd, off_t offset, int whence), (fd, offset, whence), noexcept)
VELTRIN_FAULTY(int, ftruncate, (int fd, off_t size), (fd, size), noexcept)
VELTRIN_FAULTY(int, fsync, (int fd), (fd))
VELTRIN_FAULTY(int, fstat, (int fd, struct stat* status), (fd, status), noexcept)
VELTRIN_FAULTY(int, fstatat, (int at, const char* path, struct stat* status, int flags), (at, path, status, flags),
               noexcept)
VELTRIN_FAULTY(int, faccessat, (int at, const char* path, int mode, int flags), (at, path, mode, flags), noexcept)
VELTRIN_FAULTY(ssize_t, llistxattr, (const char* path, char* names, size_t size), (path, names, size), noexcept)
VELTRIN_FAULTY(int, fchmod, (int fd, mode_t mode), (fd, mode), noexcept)
VELTRIN_FAULTY(ssize_t, readlink, (const char* path, char* into, size_t size), (path, into, size), noexcept)
VELTRIN_FAULTY(int, renameat, (int fromAt, const char* from, int toAt, const char* to), (fromAt, from, toAt, to),
               noexcept)
VELTRIN_FAULTY(int, unlinkat, (int at, const char* path, int flags), (at, path, flags), noexcept)

// "touch" makes a read find its file changed since it was opened, as another program that saves it would.
extern "C" ssize_t read(int fd, void* into, size_t count) {
    static auto* const next = veltrin::testing_support::Next<ssize_t(int, void*, size_t)>("read");
    static constexpr timespec kLongAgo[2] = {{0, UTIME_OMIT}, {1, 0}};
    const bool touched = veltrin::testing_support::Fails("touch") && ::futimens(fd, kLongAgo) == 0;
    return veltrin::testing_support::Fails("read") && !touched ? -1 : next(fd, into, count);
}

extern "C" int openat(int at, const char* path, int flags, ...) {
    static auto* const next = veltrin::testing_support::Next<int(int, const char*, int, ...)>("openat");
    va_list rest;
    va_start(rest, flags);
    const mode_t mode = (flags & O_CREAT) != 0 ? va_arg(rest, mode_t) : 0;  // when the file may be created
    va_end(rest);
    return veltrin::testing_support::Fails("openat") ? -1 : next(at, path, flags, mode);
}

void* operator new[](std::size_t size) {
    void* block = veltrin::testing_support::Fails("new[]") ? nullptr : std::malloc(size == 0 ? 1 : size);
    return block != nullptr ? block : throw std::bad_alloc();
}
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t /*size*/) noexcept { std::free(block); }
// NOLINTEND
