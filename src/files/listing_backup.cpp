#include "files/listing_backup.h"

#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "files/listing_file_sink.h"
#include "files/message_text.h"

namespace veltrin {

namespace fs = std::filesystem;
using file_system::File;
using file_system::FileFacts;

namespace {

constexpr std::string_view kMagic = "Veltrin: the backup of a listing rewritten in place\n";
constexpr std::uint64_t kRecordSize = 4096;  // a block of its own, so that the old listing's blocks can be cloned

fs::path BackupName(const std::string& key) { return key + ".vlt-old"; }

// What a backup records of the listing that it holds and what must match before it is put back: the listing's file,
// as the system knows it, and its name in its folder (which the key names).
std::string Identity(const ListingTarget& target, const FileFacts& listing) {
    const std::u8string leaf = target.Leaf().u8string();
    return std::string(kMagic) + std::to_string(listing.device) + " " + std::to_string(listing.number) + " " +
           std::to_string(listing.generation) + "\n" + std::string(leaf.begin(), leaf.end()) + "\n";
}

Failure Because(const std::error_code& error) { return {ErrorFragment(error) + "."}; }

// Writes the old listing that the backup holds over the listing, from its first byte, and cuts it there.
std::error_code CopyBack(File& backup, File& listing) {
    std::error_code error = backup.Seek(kRecordSize);
    error = error ? error : listing.Seek(0);
    error = error ? error : file_system::CopyToEnd(backup, listing);
    error = error ? error : listing.Truncate(backup.Facts().size - kRecordSize);
    return error ? error : listing.Sync();
}

// Writes the new listing over the old one as it is derived, once the old one is in its backup.
class RewritingSink final : public ListingFileSink {
  public:
    RewritingSink(const ListingTarget& target, const FileFacts& source)
        : ListingFileSink(target, source),
          name_(BackupName(ListingKey(target.File()))),
          keptIn_(QuotedFileName(target.StateFolder().Path() / name_)) {}
    // A listing dropped halfway gets its old one back; should that fail, the backup stays for the next run.
    ~RewritingSink() override {
        if (backedUp_) {
            (void)PutBack();
        }
    }

  private:
    std::optional<Failure> Start() override {
        const ListingTarget& target = Target();
        if (const std::error_code error = target.Folder().OpenToRewrite(target.Leaf(), listing_)) {
            return error == std::errc::invalid_argument ? Failure{"it is not an ordinary file."} : Because(error);
        }
        if (!listing_.Facts().IsSameFile(target.Facts())) {
            return Failure{"it is not the file whose name was checked any more."};
        }
        // The backup takes its name only once it is whole and on the disk: a run killed while it copies leaves no
        // backup that the next run would take for the old listing. Its record names the listing, also in words.
        std::error_code error;
        const fs::path whole = fs::absolute(target.File(), error);
        const std::u8string path = (error ? target.File() : whole).u8string();
        std::string record = Identity(target, listing_.Facts()) + std::string(path.begin(), path.end()) + "\n";
        record.resize(kRecordSize, '\0');
        file_system::StagingFile backup;
        error = backup.Create(target.StateFolder(), 0600);
        error = error ? error : backup.Contents().WriteAll(record);
        error = error ? error : file_system::CopyToEnd(listing_, backup.Contents());
        error = error ? error : backup.Contents().Sync();
        error = error ? error : backup.TakeName(name_);
        error = error ? error : target.StateFolder().Sync();
        if (error) {
            return Failure{"its old listing cannot be kept in " + keptIn_ + ": " + Because(error).reason};
        }
        backedUp_ = true;
        error = listing_.Seek(0);
        return error ? std::optional<Failure>(Because(error)) : std::nullopt;
    }

    File& Output() override { return listing_; }

    std::optional<Failure> Place() override {
        backedUp_ = false;
        // A backup left behind would be put back by the next run.
        const std::error_code error = RemoveBackup();
        return error ? std::optional<Failure>(Failure{"the new listing is in its place, but its backup " + keptIn_ +
                                                      " could not be removed: " + Because(error).reason})
                     : std::nullopt;
    }

    Failure GiveUp(Failure failure) override {
        if (!std::exchange(backedUp_, false)) {
            return failure;  // the listing was never touched
        }
        failure.reason.pop_back();  // its full stop
        const std::error_code error = PutBack();
        return {failure.reason + (error ? "; the old listing could not be put back: " + ErrorFragment(error) +
                                              ". It is kept in " + keptIn_ + "."
                                        : "; the old listing was put back.")};
    }

    std::error_code PutBack() {
        File backup;
        std::error_code error = Target().StateFolder().OpenToRead(name_, backup);
        error = error ? error : CopyBack(backup, listing_);
        return error ? error : RemoveBackup();
    }

    std::error_code RemoveBackup() {
        const std::error_code error = Target().StateFolder().Remove(name_);
        if (!error) {
            (void)Target().StateFolder().Sync();
        }
        return error;
    }

    const fs::path name_;
    const std::string keptIn_;
    File listing_;
    bool backedUp_ = false;  // the listing may be touched: its backup is on the disk
};

}  // namespace

std::optional<Failure> OpenStateFolder(file_system::Folder& folder, bool create) {
    const fs::path path = file_system::StateFolder();
    if (path.empty()) {
        return Failure{"anywhere: neither XDG_STATE_HOME nor HOME names a folder for it."};
    }
    std::error_code error;
    if (create && fs::create_directories(path, error)) {
        fs::permissions(path, fs::perms::owner_all, error);  // the user's alone from the start
    }
    FileFacts facts;
    error = error ? error : folder.Open(path);
    error = error ? error : folder.FactsOf(".", facts);
    if (error || !facts.IsPrivate()) {
        return Failure{"in the folder " + QuotedFileName(path) + ": " +
                       (error ? Because(error).reason : "it is not a folder of yours that only you may use.")};
    }
    return std::nullopt;
}

std::unique_ptr<ListingFileSink> RewriteInPlace(const ListingTarget& target, const FileFacts& source) {
    return std::make_unique<RewritingSink>(target, source);
}

Expected<std::optional<fs::path>> PutBackLeftListing(const ListingTarget& target, const FileFacts& source) {
    file_system::Folder state;
    FileFacts facts;
    const fs::path name = BackupName(ListingKey(target.File()));
    // A state folder that is not the user's alone holds nothing that a run of the user's made.
    if (OpenStateFolder(state, false) || state.FactsOf(name, facts) || !facts.exists) {
        return std::optional<fs::path>();
    }
    const std::string backupName = "its backup " + QuotedFileName(state.Path() / name);
    const Failure notMade{backupName +
                          " is not a private file of yours with one name, made by this program; it is "
                          "left as it is."};
    if (!facts.ordinary || facts.names != 1 || !facts.IsPrivate()) {
        return notMade;
    }
    File backup;
    File listing;
    std::string record(kRecordSize, '\0');
    std::error_code error = state.OpenToRead(name, backup);
    record.resize(error ? 0 : backup.ReadSome(record.data(), record.size(), error));
    if (!error && !record.starts_with(kMagic)) {
        return notMade;
    }
    error = error ? error : target.Folder().OpenToRewrite(target.Leaf(), listing);
    // A backup of a listing that is gone, or known by its number only, would overwrite another file.
    if (error == std::errc::no_such_file_or_directory ||
        (!error && (!record.starts_with(Identity(target, listing.Facts())) || listing.Facts().IsSameFile(source)))) {
        return Failure{backupName + " holds the old listing of another file by that name; it is left as it is."};
    }
    error = error ? error : CopyBack(backup, listing);
    error = error ? error : state.Remove(name);
    if (error) {
        return Failure{backupName + " cannot be put back: " + Because(error).reason};
    }
    (void)state.Sync();
    return std::optional<fs::path>(state.Path() / name);
}

std::optional<fs::path> FindBackup(const fs::path& listing) {
    const fs::path backup = file_system::StateFolder() / BackupName(ListingKey(listing));
    std::error_code error;
    return !backup.is_relative() && fs::exists(backup, error) ? std::optional<fs::path>(backup) : std::nullopt;
}

}  // namespace veltrin
