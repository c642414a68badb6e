#include "app/file_platform.h"

#include <algorithm>
#include <chrono>

namespace veltrin::file_platform {

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
