#include "files/listing_backup.h"

#include <string>
#include <system_error>

#include "files/listing_file.h"
#include "files/message_text.h"

namespace veltrin {

namespace fs = std::filesystem;
using file_system::File;
using file_system::Folder;

namespace {

fs::path BesideName(const fs::path& leaf) { return "." + leaf.string() + ".vlt-old"; }

// A rewrite in place keeps the file and so its number, by which the state folder knows the backup.
fs::path StateName(const file_system::FileFacts& facts) {
    return std::to_string(facts.device) + "-" + std::to_string(facts.number) + ".vlt-old";
}

Failure Because(const std::error_code& error) { return {ErrorFragment(error) + "."}; }

// Writes the bytes over the file from its first byte, cuts it there and puts it on the disk.
std::error_code Overwrite(File& file, std::string_view bytes) {
    std::error_code error = file.Rewind();
    error = error ? error : file.WriteAll(bytes);
    error = error ? error : file.Truncate(bytes.size());
    return error ? error : file.Sync();
}

// Writes the backup over the file.
std::optional<Failure> CopyBack(File& file, const Folder& folder, const fs::path& backup) {
    ListingReader reader;
    if (std::optional<Failure> failure = reader.Open(backup, folder)) {
        return Failure{"its backup " + failure->reason};
    }
    std::error_code error = file.Rewind();
    std::optional<Failure> failure = error ? Because(error) : CopyRest(reader, file);
    error = failure ? error : file.Truncate(reader.Facts().size);
    error = failure || error ? error : file.Sync();
    return error ? Because(error) : failure;
}

}  // namespace

std::optional<Failure> RewriteInPlace(const ListingTarget& target, std::string_view listing) {
    // Beside the listing where its folder takes a new file; otherwise in the user's state folder.
    Folder stateFolder;
    const Folder* folder = &target.Folder();
    fs::path backupName = BesideName(target.Leaf());
    if (!target.FolderWritable()) {
        std::error_code error;
        fs::create_directories(file_system::StateFolder(), error);
        if (error = error ? error : stateFolder.Open(file_system::StateFolder()); error) {
            return Failure{"its old listing cannot be kept in the folder " +
                           QuotedFileName(file_system::StateFolder()) + ": " + ErrorFragment(error) + "."};
        }
        folder = &stateFolder;
        backupName = StateName(target.Facts());
    }
    const std::string keptIn = QuotedFileName(folder->Path() / backupName);
    ListingReader old;
    File file;
    File backup;
    if (std::optional<Failure> failure = old.Open(target.Leaf(), target.Folder())) {
        return Failure{"it " + failure->reason};
    }
    if (const std::error_code error = target.Folder().OpenToRewrite(target.Leaf(), file)) {
        return Because(error);
    }
    // The backup takes its name only once it is whole and on the disk: a run killed while it copies leaves no
    // backup that the next run would take for the old listing.
    fs::path stagingName;
    std::error_code error = folder->CreateStaging(backup, stagingName);
    if (!error) {  // others may not be allowed to read the listing
        file_system::FileFacts ownerOnly = backup.Facts();
        ownerOnly.permissions = 0600;
        error = backup.TakeAttributesOf(ownerOnly);
    }
    std::optional<Failure> failure = error ? std::nullopt : CopyRest(old, backup);
    error = failure || error ? error : backup.Sync();
    error = failure || error ? error : folder->PutInPlace(backup, stagingName, backupName);
    error = failure || error ? error : folder->Sync();
    if (failure || error) {
        (void)backup.Close();  // Windows removes no file that is open
        (void)folder->Remove(stagingName.empty() ? backupName : stagingName);
        return Failure{"its old listing cannot be kept in " + keptIn + ": " +
                       (failure ? failure->reason : Because(error).reason)};
    }
    // From here the old listing is safe on the disk, and the run is not ended halfway through the rewrite.
    const file_system::SignalHold hold;
    if (error = Overwrite(file, listing); !error) {
        // A backup left behind would be put back by the next run.
        if (error = folder->Remove(backupName); !error) {
            (void)folder->Sync();
        }
        return error ? std::optional<Failure>(Failure{"the new listing is in its place, but its backup " + keptIn +
                                                      " could not be removed: " + ErrorFragment(error) + "."})
                     : std::nullopt;
    }
    if (failure = CopyBack(file, *folder, backupName); !failure) {
        (void)folder->Remove(backupName);
        return Failure{ErrorFragment(error) + "; the old listing was put back."};
    }
    return Failure{ErrorFragment(error) + "; the old listing could not be put back: " + failure->reason +
                   " It is kept in " + keptIn + "."};
}

std::optional<fs::path> FindBackup(const fs::path& listing) {
    const Expected<fs::path> followed = FollowLinks(listing);
    const fs::path file = followed ? *followed : listing;
    std::error_code error;
    if (const fs::path beside = file.parent_path() / BesideName(file.filename()); fs::exists(beside, error)) {
        return beside;
    }
    file_system::FileFacts facts;
    if (Folder().FactsOf(file, facts) || !facts.exists) {
        return std::nullopt;
    }
    const fs::path inStateFolder = file_system::StateFolder() / StateName(facts);
    return fs::exists(inStateFolder, error) ? std::optional<fs::path>(inStateFolder) : std::nullopt;
}

std::optional<Failure> PutBackupBack(const fs::path& listing, const fs::path& backup) {
    const Expected<fs::path> followed = FollowLinks(listing);
    if (!followed) {
        return Failure{followed.Reason()};
    }
    const Folder asGiven;
    File file;
    std::error_code error = asGiven.OpenToRewrite(*followed, file);
    // A listing removed since is made anew: its name held the old listing when the run was cut off.
    error = error == std::errc::no_such_file_or_directory ? asGiven.CreateNew(*followed, file) : error;
    if (error) {
        return Because(error);
    }
    const file_system::SignalHold hold;
    if (std::optional<Failure> failure = CopyBack(file, asGiven, backup)) {
        return failure;
    }
    return (error = asGiven.Remove(backup)) ? std::optional<Failure>(Because(error)) : std::nullopt;
}

}  // namespace veltrin
