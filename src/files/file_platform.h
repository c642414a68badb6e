#pragma once

// The file services whose working differs between POSIX systems and Windows. The listing reader and writer are
// written once on top of them; file_platform_posix.cpp and file_platform_windows.cpp supply the two halves.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace veltrin::file_platform {

// How much a read of a whole file asks the system for at a time.
constexpr std::size_t kReadChunk = std::size_t{1} << 16;

// A file opened through the C runtime, closed when it goes.
class OpenFile {
  public:
    OpenFile() = default;
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile();

    void Adopt(int descriptor) { descriptor_ = descriptor; }
    [[nodiscard]] int Descriptor() const { return descriptor_; }

    // Appends the bytes from the current position to the end.
    std::error_code ReadToEnd(std::string& content);
    // One call of the system: the count read, 0 at the end of the file or on a failure, which sets error.
    std::size_t ReadSome(char* into, std::size_t count, std::error_code& error);
    std::error_code WriteAll(std::string_view bytes);
    std::error_code Rewind();
    std::error_code Truncate(std::uint64_t size);
    // Asks the system to start putting what was written on the disk and returns at once, so that a long listing
    // goes to the disk while the rest of it is derived and Sync finds little left to do. Where the system has no
    // such request, Sync does all of it.
    void StartWriteback();
    // Puts what was written on the disk, so that a crash cannot leave a listing that was reported as written.
    std::error_code Sync();
    std::error_code Close();

  private:
    int descriptor_ = -1;
};

struct OpenedFacts {
    bool ordinary = false;  // a regular file, not a folder, device, pipe or socket
    std::uint64_t size = 0;
};

// Opens a file for reading without ever waiting on it (a pipe with no writer would hold the run for ever) and
// says what it turned out to be.
std::error_code OpenToRead(const std::filesystem::path& fileName, OpenFile& file, OpenedFacts& facts);

// Opens an existing ordinary file for reading and writing, without creating it and without following a link.
std::error_code OpenToRewrite(const std::filesystem::path& fileName, OpenFile& file);

// Whether the user may write the file, or create files in the folder, as far as the system says in advance.
std::error_code CheckWritable(const std::filesystem::path& path);

// What the system knows a file by: its number on its volume, and how many names it has (a new file taking one of
// several names would leave the others with the old content). Zeros when it cannot be told.
struct FileIdentity {
    std::uint64_t number = 0;
    std::uint64_t names = 0;
};
FileIdentity IdentifyFile(const std::filesystem::path& file);

// Whether a link may be followed where the system itself would follow it: in a folder that every user may
// write and that has the sticky bit (/tmp), only a link of the user or of the folder's owner, so that a link
// planted there cannot turn a write into the replacement of someone else's file.
bool MayFollowLink(const std::filesystem::path& link);

// The file that receives a new listing in the target's folder before it takes the target's place. Where the
// system can, it has no name until PutInPlace, so that a run killed on the way leaves nothing behind; elsewhere
// it has a short name of its own that the destructor removes unless it was put in place.
class StagingFile {
  public:
    StagingFile() = default;
    StagingFile(const StagingFile&) = delete;
    StagingFile& operator=(const StagingFile&) = delete;
    ~StagingFile();

    std::error_code Create(const std::filesystem::path& folder);
    // Gives the new file what a plain overwrite of the target would keep: owner, group, permission bits and
    // extended attributes (access control lists among them). Fails when any of it cannot be carried over.
    std::error_code CarryAttributesOf(const std::filesystem::path& target);
    OpenFile& File() { return file_; }
    // Closes the file and puts it in the target's place in one step.
    std::error_code PutInPlace(const std::filesystem::path& target);

  private:
    // Creates the file under a short name of its own.
    std::error_code CreateNamed();

    OpenFile file_;
    std::filesystem::path folder_;
    std::filesystem::path name_;  // empty while the file has no name
};

// The system's calls under OpenFile and StagingFile, one set in each half; what is built on them is shared. Each
// answers as the C runtime does: -1, with errno set, on a failure.
namespace system_call {

std::int64_t Read(int descriptor, char* into, std::size_t count);
std::int64_t Write(int descriptor, const char* from, std::size_t count);
int Close(int descriptor);
// Opens a file for writing that must not exist yet.
int CreateNew(const std::filesystem::path& fileName);

}  // namespace system_call

// The error that the last failed call set in errno.
std::error_code LastError();

// How many short names a staging file tries, each taken by another file, before it gives up.
constexpr int kStagingAttempts = 100;

// The short name of a staging file, the same length whatever the target's name: ".vlt123456789.tmp".
std::filesystem::path StagingName(int attempt);

}  // namespace veltrin::file_platform
