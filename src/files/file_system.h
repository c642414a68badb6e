#pragma once

// The calls of the system under the listing files: file_system_posix.cpp and file_system_windows.cpp supply them,
// and everything above them is written once.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace veltrin::file_system {

// What the system tells of a file.
struct FileFacts {
    bool exists = false;
    bool ordinary = false;  // a regular file, not a folder, link, device, pipe or socket
    bool folder = false;
    bool link = false;
    bool readOnly = false;  // nobody may write it
    std::uint64_t size = 0;
    std::uint64_t device = 0;
    std::uint64_t number = 0;  // on its device
    std::uint64_t names = 0;   // a new file taking one of several names would leave the others with the old one
    std::uint32_t owner = 0;
    std::uint32_t group = 0;
    std::uint32_t permissions = 0;
    // Something that a new file in its place could not be given: another owner, a group that the user is not in,
    // extended attributes or an access control list. Only rewriting the file itself keeps them.
    bool keepsMoreThanItsBytes = false;

    [[nodiscard]] bool IsSameFile(const FileFacts& other) const {
        return exists && other.exists && device == other.device && number == other.number;
    }
};

// A file opened through the C runtime, closed when it goes.
class File {
  public:
    File() = default;
    explicit File(int descriptor) : descriptor_(descriptor) {}
    File(File&& other) noexcept : descriptor_(other.descriptor_) { other.descriptor_ = -1; }
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    [[nodiscard]] int Descriptor() const { return descriptor_; }
    [[nodiscard]] FileFacts Facts() const;
    // One call of the system: the count read, 0 at the end of the file or on a failure, which sets error.
    std::size_t ReadSome(char* into, std::size_t count, std::error_code& error);
    std::error_code WriteAll(std::string_view bytes);
    std::error_code Rewind();
    std::error_code Truncate(std::uint64_t size);
    // Gives a new file the owner, group and permissions of the file whose place it takes, and none of the extended
    // attributes that its folder gave it: what a plain overwrite would have left the listing.
    std::error_code TakeAttributesOf(const FileFacts& target);
    // Asks the system to start putting what was written on the disk and returns at once, so that Sync finds
    // little left to do. Where the system has no such request, Sync does all of it.
    void StartWriteback();
    std::error_code Sync();
    std::error_code Close();

  private:
    int descriptor_ = -1;
};

// A folder opened once, when a listing's name is checked: every later step finds the listing's files in that
// folder, whatever happens to the folder's path meanwhile. (On Windows, which has no such calls, by its path.)
class Folder {
  public:
    Folder() = default;
    Folder(Folder&& other) noexcept;
    Folder& operator=(Folder&& other) noexcept;
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    ~Folder();

    std::error_code Open(const std::filesystem::path& path);
    [[nodiscard]] const std::filesystem::path& Path() const { return path_; }
    // Of the name itself, unless the link that it is is to be followed. A name that does not exist is no error.
    std::error_code FactsOf(const std::filesystem::path& name, FileFacts& facts, bool followLink = false) const;
    // Whether the user may write the file, or create and remove files in the folder (".") , as far as the system
    // says in advance.
    std::error_code CheckWritable(const std::filesystem::path& name) const;

    // Opens an ordinary file without ever waiting on it: a pipe with no writer would hold the run for ever.
    std::error_code OpenToRead(const std::filesystem::path& name, File& file) const;
    // Opens an existing file for reading and writing, without creating it and without following a link.
    std::error_code OpenToRewrite(const std::filesystem::path& name, File& file) const;
    std::error_code CreateNew(const std::filesystem::path& name, File& file) const;
    std::error_code Remove(const std::filesystem::path& name) const;
    // Puts what was renamed or removed here on the disk.
    std::error_code Sync() const;

    // A file that receives a new listing here before it takes the listing's name. Where the system can, it has no
    // name (`name` stays empty), so that nothing is left of it however the run ends; elsewhere a short name of its
    // own, and a lock that tells the next run whether its owner is still alive.
    std::error_code CreateStaging(File& file, std::filesystem::path& name) const;
    // Gives the staging file the target's name in one step (an unnamed one first gets a name of its own). The folder
    // is not synced.
    std::error_code PutInPlace(File& file, std::filesystem::path& stagingName,
                               const std::filesystem::path& target) const;
    // Removes the named staging files that killed runs left here; those of a run still alive stay.
    void RemoveStaleStaging() const;

  private:
    std::filesystem::path path_;
    int descriptor_ = -1;
};

// Whether a link may be followed where the system itself would follow it: in a folder that every user may write
// and that has the sticky bit (/tmp), only a link of the user or of the folder's owner, so that a link planted
// there cannot turn a write into the replacement of someone else's file.
bool MayFollowLink(const std::filesystem::path& link);

// Asks the system to back the memory with large pages where it can, so that reading a large listing into it
// does not stop for a fault every few kilobytes.
void AdviseLargePages(char* memory, std::size_t size);

// The folder in which a listing's backup goes when its own folder cannot take one: the user's state folder.
std::filesystem::path StateFolder();

// Holds off Ctrl-C and the request to end for as long as it lives, so that a listing being rewritten in place is
// rewritten whole before the program ends.
class SignalHold {
  public:
    SignalHold();
    SignalHold(const SignalHold&) = delete;
    SignalHold& operator=(const SignalHold&) = delete;
    ~SignalHold();

  private:
    std::array<std::uint64_t, 16> saved_{};  // the signal mask before, where the system has one
};

// The error that the last failed call of the C runtime set.
std::error_code LastError();

// The calls under File, one set in each half: each answers as the C runtime does, -1 with errno set on a failure.
namespace system_call {
std::int64_t Read(int descriptor, char* into, std::size_t count);
std::int64_t Write(int descriptor, const char* from, std::size_t count);
int Close(int descriptor);
}  // namespace system_call

// The short name of a named staging file, the same length whatever the target's name: ".vlt123456789.tmp".
std::filesystem::path StagingName(int attempt);
bool IsStagingName(const std::filesystem::path& name);
constexpr int kStagingAttempts = 100;

}  // namespace veltrin::file_system
