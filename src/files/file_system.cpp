#include "files/file_system.h"

#include <cerrno>
#include <chrono>
#include <regex>
#include <string>
#include <utility>

namespace veltrin::file_system {

std::error_code LastError() { return {errno, std::generic_category()}; }

File& File::operator=(File&& other) noexcept {
    std::swap(descriptor_, other.descriptor_);
    return *this;
}

File::~File() {
    if (descriptor_ >= 0) {
        (void)system_call::Close(descriptor_);
    }
}

std::size_t File::ReadSome(char* into, std::size_t count, std::error_code& error) {
    const std::int64_t got = system_call::Read(descriptor_, into, count);
    if (got == -1) {
        error = LastError();
        return 0;
    }
    return static_cast<std::size_t>(got);
}

std::error_code File::WriteAll(std::string_view bytes) {
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

std::error_code File::Close() {
    if (descriptor_ < 0) {
        return {};
    }
    const int result = system_call::Close(std::exchange(descriptor_, -1));
    return result != 0 ? LastError() : std::error_code();
}

Folder& Folder::operator=(Folder&& other) noexcept {
    std::swap(path_, other.path_);
    std::swap(descriptor_, other.descriptor_);
    return *this;
}

Folder::Folder(Folder&& other) noexcept : path_(std::move(other.path_)), descriptor_(other.descriptor_) {
    other.descriptor_ = -1;
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

bool IsStagingName(const std::filesystem::path& name) {
    static const std::regex kStaging(R"(\.vlt[0-9]{9}\.tmp)");
    return std::regex_match(name.string(), kStaging);
}

}  // namespace veltrin::file_system
