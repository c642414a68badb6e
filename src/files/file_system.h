#pragma once

// The calls of the system under the listing files: file_system_posix.cpp and file_system_windows.cpp supply them,
// and everything above them is written once.

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
    bool readOnly = false;  // nobody may write it
    std::uint64_t size = 0;
    std::uint64_t device = 0;
    std::uint64_t number = 0;      // on its device
    std::uint64_t generation = 0;  // its birth time, where the system tells it: a number used again is another file
    std::int64_t modified = 0;     // when its bytes last changed, in the system's units
    std::uint64_t names = 0;       // a new file taking one of several names would leave the others with the old one
    std::uint32_t owner = 0;
    std::uint32_t group = 0;
    std::uint32_t permissions = 0;
    // Something that a new file in its place could not be given: another owner, a group that the user is not in,
    // extended attributes or an access control list. Only rewriting the file itself keeps them.
    bool keepsMoreThanItsBytes = false;

    [[nodiscard]] bool IsSameFile(const FileFacts& other) const {
        return exists && other.exists && device == other.device && number == other.number;
    }
    // The user's own, and nobody else may use it (where the system keeps owners and permissions).
    [[nodiscard]] bool IsPrivate() const;
};

// A file opened through the C runtime, closed when it goes.
class File {
  public:
    File() = default;
    explicit File(int descriptor) : descriptor_(descriptor) {}
    File(File&& other) noexcept : descriptor_(other.descriptor_) { other.descriptor_ = -1; }
    File& operator=(File&& other) noexcept;
    ~File();

    [[nodiscard]] int Descriptor() const { return descriptor_; }
    [[nodiscard]] FileFacts Facts() const;
    // One call of the system: the count read, 0 at the end of the file or on a failure, which sets error.
    std::size_t ReadSome(char* into, std::size_t count, std::error_code& error);
    std::error_code WriteAll(std::string_view bytes);
    std::error_code Seek(std::uint64_t offset);
    std::error_code Truncate(std::uint64_t size);
    // Gives a new file the owner, group and permissions of the file whose place it takes, and none of the extended
    // attributes that its folder gave it: what a plain overwrite would have left the listing.
    std::error_code TakeAttributesOf(const FileFacts& target);
    // Asks the system to start putting what was written on the disk and returns at once, so that Sync finds
    // little left to do. Where the system has no such request, Sync does all of it.
    void StartWriteback();
    std::error_code Sync() const;
    std::error_code Close();

  private:
    int descriptor_ = -1;
};

// Copies the rest of one file, from where it is read, to where the other is written.
std::error_code CopyToEnd(File& from, File& to);

// The file that a call of the C runtime opened, and the error if it failed.
std::error_code Opened(File& file, int descriptor);

// A folder opened once: every later step finds its files in that folder, whatever happens to the folder's path
// meanwhile. (On Windows, which has no such calls, by its path.)
class Folder {
  public:
    std::error_code Open(const std::filesystem::path& path);
    [[nodiscard]] const std::filesystem::path& Path() const { return path_; }
    // Of the name itself, unless the link that it is is to be followed. A name that does not exist is no error.
    std::error_code FactsOf(const std::filesystem::path& name, FileFacts& facts, bool followLink = false) const;
    // Whether the user may write the file, or create and remove files in the folder (".") , as far as the system
    // says in advance.
    std::error_code CheckWritable(const std::filesystem::path& name) const;

    // Opens a file to read it, or an existing file, not through a link, to rewrite it; never waits on it: a pipe
    // with no writer would hold the run for ever.
    std::error_code OpenFile(const std::filesystem::path& name, File& file, bool rewrite = false) const;
    // Creates a file that no other has the name of, locked for as long as it is open (see StagingFile).
    std::error_code CreateNew(const std::filesystem::path& name, File& file, std::uint32_t permissions) const;
    // Removes the file for good: a removal is put on the disk (where it fails, the file is gone all the same).
    std::error_code Remove(const std::filesystem::path& name) const;
    // Puts what was renamed or removed here on the disk.
    std::error_code Sync() const;
    // Removes the named staging files that killed runs left here; those of a run still alive stay.
    void RemoveStaleStaging() const;
    // Holds the listing of that name here, whose file is `listing` if it exists and which every run knows by `key`,
    // for as long as the lock is open, and its run with it, however that ends: false when another run holds it.
    bool Lock(const std::filesystem::path& name, std::string_view key, const FileFacts& listing, File& lock) const;

  private:
    friend class StagingFile;
    std::filesystem::path path_;
    File opened_;  // where the system opens folders
};

// A file that is written in a folder and then takes a name there in one step, replacing the file of that name, or
// is removed when it goes. Until then it has a short name of its own, which `name_` alone knows, and holds a lock
// that tells the next run whether its run lives: the name check removes those of killed runs.
class StagingFile {
  public:
    ~StagingFile();

    std::error_code Create(const Folder& folder, std::uint32_t permissions);
    File& Contents() { return file_; }
    // The folder is not synced.
    std::error_code TakeName(const std::filesystem::path& name);

  private:
    const Folder* folder_ = nullptr;
    File file_;
    std::filesystem::path name_;  // while it has a name of its own: the one place that knows
};

// Whether a link may be followed where the system itself would follow it: in a folder that every user may write
// and that has the sticky bit (/tmp), only a link of the user or of the folder's owner, so that a link planted
// there cannot turn a write into the replacement of someone else's file.
bool MayFollowLink(const std::filesystem::path& link);

// Asks the system to back the memory with large pages where it can, so that reading a large listing into it
// does not stop for a fault every few kilobytes.
void AdviseLargePages(char* memory, std::size_t size);

// The user's state folder, which keeps the backups of listings rewritten in place: empty where the user has none.
std::filesystem::path StateFolder();

// Ctrl-C, the request to end and the hang-up of the terminal (on Windows, Ctrl-C, Ctrl-Break and closing the
// console) are held off from the program's start, before any thread is born, and wait for the run to take them:
// TakeEndRequest gives the one that came (its signal number), or 0.
void HoldEndRequests();
int TakeEndRequest();

// The error that the last failed call of the C runtime set.
std::error_code LastError();

// The calls under File, one set in each half: each answers as the C runtime does, -1 with errno set on a failure.
namespace system_call {
std::int64_t Read(int descriptor, char* into, std::size_t count);
std::int64_t Write(int descriptor, const char* from, std::size_t count);
// Copies within the system, where it can (ENOSYS where it cannot).
std::int64_t CopyRange(int from, int to, std::size_t count);
int Close(int descriptor);
// Locks an open file, without waiting, for as long as it is open: a lock tells other runs that a live run holds it.
bool Lock(int descriptor);
}  // namespace system_call

}  // namespace veltrin::file_system
