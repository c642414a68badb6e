#include "files/file_system.h"

#include <cerrno>
#include <chrono>
#include <memory>
#include <string>
#include <utility>

namespace veltrin::file_system {

namespace {

constexpr int kStagingAttempts = 100;

// The short name of a staging file, the same length whatever the target's name: ".vlt123456789.tmp".
std::filesystem::path StagingName(int attempt) {
    // An exclusive create settles any clash; the clock only makes one unlikely, so no state is kept between calls.
    const auto clock = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const std::uint64_t stamp = (clock * std::uint64_t{6364136223846793005U}) ^
                                (static_cast<std::uint64_t>(attempt + 1) * std::uint64_t{1442695040888963407U});
    return ".vlt" + std::to_string(1000000000U + stamp % 1000000000U).substr(1) + ".tmp";
}

bool IsStagingName(const std::filesystem::path& name) {
    return name.filename() == name && name.extension() == ".tmp" && name.u8string().starts_with(u8".vlt");
}

}  // namespace

std::error_code LastError() { return {errno, std::generic_category()}; }

File& File::operator=(File&& other) noexcept {
    std::swap(descriptor_, other.descriptor_);
    return *this;
}

File::~File() { (void)Close(); }

std::size_t File::ReadSome(char* into, std::size_t count, std::error_code& error) {
    const std::int64_t got = system_call::Read(descriptor_, into, count);
    error = got == -1 ? LastError() : error;
    return got == -1 ? 0 : static_cast<std::size_t>(got);
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
    return descriptor_ < 0 || system_call::Close(std::exchange(descriptor_, -1)) == 0 ? std::error_code() : LastError();
}

std::error_code Opened(File& file, int descriptor) {
    file = File(descriptor);
    return descriptor == -1 ? LastError() : std::error_code();
}

std::error_code CopyToEnd(File& from, File& to) {
    // The system copies the bytes itself, and clones them where the file system can; where it cannot copy between
    // these two files, the bytes come through here from where it stopped.
    std::int64_t copied = 1;
    while (copied > 0) {
        copied = system_call::CopyRange(from.Descriptor(), to.Descriptor(), std::size_t{1} << 30);
    }
    if (copied < 0 && errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
        return LastError();
    }
    constexpr std::size_t kPiece = std::size_t{1} << 16;
    const std::unique_ptr<char[]> piece = std::make_unique_for_overwrite<char[]>(kPiece);
    for (std::error_code error; copied != 0;) {
        copied = static_cast<std::int64_t>(from.ReadSome(piece.get(), kPiece, error));
        if (error = error ? error : to.WriteAll({piece.get(), static_cast<std::size_t>(copied)}); error) {
            return error;
        }
    }
    return {};
}

std::error_code StagingFile::Create(const Folder& folder, std::uint32_t permissions) {
    folder_ = &folder;
    std::error_code error = std::make_error_code(std::errc::file_exists);
    for (int attempt = 0; error == std::errc::file_exists && attempt < kStagingAttempts; ++attempt) {
        name_ = StagingName(attempt);
        error = folder.CreateNew(name_, file_, permissions);
    }
    if (error) {
        name_.clear();
    }
    return error;
}

StagingFile::~StagingFile() {
    (void)file_.Close();  // Windows removes no file that is open
    if (!name_.empty()) {
        (void)folder_->Remove(name_);
    }
}

void Folder::RemoveStaleStaging() const {
    std::error_code error;
    for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(path_, error)) {
        File staging;
        const std::filesystem::path name = entry.path().filename();
        if (IsStagingName(name) && !OpenFile(name, staging) && system_call::Lock(staging.Descriptor()) &&
            !staging.Close()) {
            (void)Remove(name);
        }
    }
}

}  // namespace veltrin::file_system
