#include "app/file_platform.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace veltrin::file_platform {

std::error_code LastError() { return {errno, std::generic_category()}; }

OpenFile::~OpenFile() {
    if (descriptor_ >= 0) {
        (void)system_call::Close(descriptor_);
    }
}

std::error_code OpenFile::ReadSome(char* into, std::size_t count, std::size_t& got) {
    const std::int64_t result = system_call::Read(descriptor_, into, count);
    got = static_cast<std::size_t>(std::max<std::int64_t>(result, 0));
    return result == -1 ? LastError() : std::error_code();
}

std::error_code OpenFile::WriteSome(const char* from, std::size_t count, std::size_t& put) {
    const std::int64_t result = system_call::Write(descriptor_, from, count);
    put = static_cast<std::size_t>(std::max<std::int64_t>(result, 0));
    return result == -1 ? LastError() : std::error_code();
}

std::error_code OpenFile::Close() {
    const int result = system_call::Close(descriptor_);
    descriptor_ = -1;
    return result != 0 ? LastError() : std::error_code();
}

std::error_code OpenFile::ReadToEnd(std::string& content, std::size_t limit) {
    std::size_t got = 0;
    do {
        const std::size_t filled = content.size();
        content.resize(filled + kReadChunk);
        const std::error_code error = ReadSome(content.data() + filled, kReadChunk, got);
        content.resize(filled + got);
        if (error) {
            return error;
        }
    } while (got > 0 && content.size() <= limit);
    return {};
}

std::error_code OpenFile::WriteAll(std::string_view bytes) {
    constexpr std::size_t kMaxWrite = std::size_t{1} << 30;
    while (!bytes.empty()) {
        std::size_t put = 0;
        if (const std::error_code error = WriteSome(bytes.data(), std::min(bytes.size(), kMaxWrite), put)) {
            return error;
        }
        if (put == 0) {
            return std::make_error_code(std::errc::no_space_on_device);
        }
        bytes.remove_prefix(put);
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
