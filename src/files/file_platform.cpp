#include "files/file_platform.h"

#include <cerrno>
#include <chrono>

namespace veltrin::file_platform {

std::error_code LastError() { return {errno, std::generic_category()}; }

OpenFile::~OpenFile() {
    if (descriptor_ >= 0) {
        (void)system_call::Close(descriptor_);
    }
}

std::size_t OpenFile::ReadSome(char* into, std::size_t count, std::error_code& error) {
    const std::int64_t got = system_call::Read(descriptor_, into, count);
    if (got == -1) {
        error = LastError();
        return 0;
    }
    return static_cast<std::size_t>(got);
}

std::error_code OpenFile::Close() {
    const int result = system_call::Close(descriptor_);
    descriptor_ = -1;
    return result != 0 ? LastError() : std::error_code();
}

std::error_code OpenFile::ReadToEnd(std::string& content) {
    for (;;) {
        const std::size_t filled = content.size();
        content.resize(filled + kReadChunk);
        std::error_code error;
        const std::size_t got = ReadSome(content.data() + filled, kReadChunk, error);
        content.resize(filled + got);
        if (error || got == 0) {
            return error;
        }
    }
}

std::error_code OpenFile::WriteAll(std::string_view bytes) {
    // A call may write less than it was given (Linux takes a little under 2 GiB at a time, Windows INT_MAX bytes);
    // the rest goes in the next.
    while (!bytes.empty()) {
        const std::int64_t put = system_call::Write(descriptor_, bytes.data(), bytes.size());
        if (put == -1) {
            return LastError();
        }
        if (put == 0) {
            return std::make_error_code(std::errc::no_space_on_device);
        }
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
    return {};
}

std::error_code StagingFile::CreateNamed() {
    for (int attempt = 0; attempt < kStagingAttempts; ++attempt) {
        const std::filesystem::path candidate = folder_ / StagingName(attempt);
        file_.Adopt(system_call::CreateNew(candidate));
        if (file_.Descriptor() != -1) {
            name_ = candidate;
            return {};
        }
        if (errno != EEXIST) {
            break;
        }
    }
    return LastError();
}

std::filesystem::path StagingName(int attempt) {
    // An exclusive create settles any clash; the clock only makes one unlikely, so no state is kept between calls.
    const auto clock = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const std::uint64_t stamp = (clock * std::uint64_t{6364136223846793005U}) ^
                                (static_cast<std::uint64_t>(attempt + 1) * std::uint64_t{1442695040888963407U});
    std::string digits = std::to_string(stamp % 1000000000ULL);
    digits.insert(0, 9 - digits.size(), '0');
    return ".vlt" + digits + ".tmp";
}

}  // namespace veltrin::file_platform
