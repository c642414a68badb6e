#include "files/listing_writer.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <system_error>
#include <utility>

#include "files/file_platform.h"
#include "files/message_text.h"

namespace veltrin {

namespace fs = std::filesystem;
using file_platform::OpenFile;
using file_platform::StagingFile;

namespace {

constexpr int kMaxLinks = 40;

// The file that a listing replaces, links followed, and the folder it lies in.
struct ListingTarget {
    fs::path file;
    fs::path folder;
    bool exists = false;
};

// The failure of a call of the system, if it failed.
std::optional<Failure> FailureOf(const std::error_code& error) {
    return error ? std::optional<Failure>(Failure{ErrorFragment(error) + "."}) : std::nullopt;
}

// Follows the chain of links that the name starts, as writing through the name would. The last name need not
// exist: a link to a missing file makes the write create that file.
Expected<fs::path> ResolveLinks(const fs::path& fileName) {
    fs::path resolved = fileName;
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        std::error_code error;
        if (fs::symlink_status(resolved, error).type() != fs::file_type::symlink) {
            return resolved;
        }
        if (!file_platform::MayFollowLink(resolved)) {
            // The name itself is in the message already; a link further along the chain is named.
            return Failure{(hop == 0 ? std::string("it is a link that") : "the link " + QuotedFileName(resolved)) +
                           " lies in a folder that every user may write and belongs neither to you nor to the "
                           "folder's owner, so it is not followed."};
        }
        const fs::path target = fs::read_symlink(resolved, error);
        if (error) {
            return Failure{"the link " + QuotedFileName(resolved) + " cannot be followed: " + ErrorFragment(error) +
                           "."};
        }
        resolved = target.is_absolute() ? target : resolved.parent_path() / target;
    }
    return Failure{"it leads through too many links."};
}

bool IsPermissionError(const std::error_code& error) {
    return error == std::errc::permission_denied || error == std::errc::read_only_file_system ||
           error == std::errc::operation_not_permitted;
}

// Refuses what a plain overwrite could not or should not write: a folder, a device or other special file, a file
// the user may not write, and a file that nobody may write (so that a read-only listing is kept even for an
// administrator, whom permission bits do not stop).
Expected<ListingTarget> FindTarget(const fs::path& fileName) {
    if (fileName.empty()) {
        return Failure{"no file name was given."};
    }
    Expected<fs::path> resolved = ResolveLinks(fileName);
    if (!resolved) {
        return Failure{resolved.Reason()};
    }
    ListingTarget target;
    target.file = std::move(*resolved);
    if (target.file.filename().empty()) {
        return Failure{"it names a folder, not a file."};
    }
    std::error_code error;
    const fs::file_status status = fs::status(target.file, error);
    target.exists = status.type() != fs::file_type::not_found;
    if (target.exists) {
        constexpr fs::perms kAnyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
        if (error) {
            return Failure{"it cannot be examined: " + ErrorFragment(error) + "."};
        }
        if (status.type() == fs::file_type::directory) {
            return Failure{"it is a folder, not a file."};
        }
        if (status.type() != fs::file_type::regular) {
            return Failure{"it is not an ordinary file."};
        }
        if ((status.permissions() & kAnyWrite) == fs::perms::none) {
            return Failure{"it is read-only."};
        }
        if (error = file_platform::CheckWritable(target.file); error) {
            return Failure{IsPermissionError(error) ? "it is read-only." : ErrorFragment(error) + "."};
        }
    }
    target.folder = target.file.has_parent_path() ? target.file.parent_path() : fs::path(".");
    const fs::file_status folderStatus = fs::status(target.folder, error);
    if (folderStatus.type() == fs::file_type::not_found) {
        return Failure{"the folder " + QuotedFileName(target.folder) + " does not exist."};
    }
    if (error) {
        return Failure{"the folder " + QuotedFileName(target.folder) + " cannot be examined: " + ErrorFragment(error) +
                       "."};
    }
    if (folderStatus.type() != fs::file_type::directory) {
        return Failure{QuotedFileName(target.folder) + " is not a folder."};
    }
    if (error = file_platform::CheckWritable(target.folder); error && !target.exists) {
        return Failure{"no file can be created in the folder " + QuotedFileName(target.folder) + ": " +
                       ErrorFragment(error) + "."};
    }
    return target;
}

// The new listing goes to a staging file that takes the target's name in one step once it is whole.
class RenamingReplacement final : public ListingReplacement {
  public:
    explicit RenamingReplacement(fs::path target) : target_(std::move(target)) {}
    StagingFile& Staging() { return staging_; }

  protected:
    std::optional<Failure> Write(std::string_view bytes) override {
        if (const std::error_code error = staging_.File().WriteAll(bytes)) {
            return FailureOf(error);
        }
        staging_.File().StartWriteback();
        return std::nullopt;
    }

    std::optional<Failure> Commit() override {
        // On the disk before it takes the target's place, so that a crash right after the rename cannot leave an
        // empty or partial listing under the target's name.
        if (const std::error_code error = staging_.File().Sync()) {
            return FailureOf(error);
        }
        if (const std::error_code error = staging_.PutInPlace(target_)) {
            return Failure{"it cannot be replaced: " + ErrorFragment(error) + "."};
        }
        return std::nullopt;
    }

  private:
    fs::path target_;
    StagingFile staging_;
};

// The new listing is gathered in memory and written over the old file at the end, and the old content is kept at
// hand to be written back when that write fails. The file stays the same file, so it keeps its other names, its
// owner, permissions and access control lists; but a run that dies during that last write leaves it part new.
class InPlaceReplacement final : public ListingReplacement {
  public:
    explicit InPlaceReplacement(fs::path target) : target_(std::move(target)) {}

  protected:
    std::optional<Failure> Write(std::string_view bytes) override {
        listing_.append(bytes);
        return std::nullopt;
    }

    std::optional<Failure> Commit() override {
        OpenFile file;
        std::string oldContent;
        std::error_code error = file_platform::OpenToRewrite(target_, file);
        if (!error) {
            error = file.ReadToEnd(oldContent);
        }
        if (error) {
            return FailureOf(error);
        }
        error = Overwrite(file, listing_);
        if (!error) {
            return FailureOf(file.Close());
        }
        const std::error_code restoreError = Overwrite(file, oldContent);
        return Failure{ErrorFragment(error) +
                       (restoreError ? "; the old listing could not be put back: " + ErrorFragment(restoreError) + "."
                                     : "; the old listing was put back.")};
    }

  private:
    static std::error_code Overwrite(OpenFile& file, std::string_view content) {
        std::error_code error = file.Rewind();
        if (!error) {
            error = file.WriteAll(content);
        }
        if (!error) {
            error = file.Truncate(content.size());
        }
        return error ? error : file.Sync();
    }

    fs::path target_;
    std::string listing_;
};

}  // namespace

std::optional<Failure> CheckListingTarget(const fs::path& fileName) {
    Expected<ListingTarget> target = FindTarget(fileName);
    return target ? std::nullopt : std::optional<Failure>(Failure{target.Reason()});
}

Expected<std::unique_ptr<ListingReplacement>> ListingReplacement::Begin(const fs::path& fileName) {
    Expected<ListingTarget> target = FindTarget(fileName);
    if (!target) {
        return Failure{target.Reason()};
    }
    // A rename would leave the file's other names with the old listing.
    if (!target->exists || file_platform::IdentifyFile(target->file).names == 1) {
        auto renaming = std::make_unique<RenamingReplacement>(target->file);
        std::error_code error = renaming->Staging().Create(target->folder);
        if (!error && target->exists) {
            error = renaming->Staging().CarryAttributesOf(target->file);
        }
        if (!error) {
            return std::unique_ptr<ListingReplacement>(std::move(renaming));
        }
        if (!target->exists) {
            return Failure{"no file can be created in the folder " + QuotedFileName(target->folder) + ": " +
                           ErrorFragment(error) + "."};
        }
    }
    return std::unique_ptr<ListingReplacement>(std::make_unique<InPlaceReplacement>(target->file));
}

ListingReplacement::~ListingReplacement() = default;  // an uncommitted staging file goes with its owner

}  // namespace veltrin
