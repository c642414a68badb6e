#include "files/listing_file_sink.h"

#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "files/message_text.h"

namespace veltrin {

namespace fs = std::filesystem;
using file_system::File;
using file_system::FileFacts;

namespace {

Failure Because(const std::error_code& error) { return {ErrorFragment(error) + "."}; }

// Nothing when there was no error; else the error, as the end of the sentence that `what` begins.
std::optional<Failure> Failed(const std::error_code& error, const std::string& what = "") {
    return error ? std::optional<Failure>(Failure{what + Because(error).reason}) : std::nullopt;
}

// A new listing goes to a staging file in the target's folder, which takes the target's name once it is whole.
class RenamingSink final : public ListingFileSink {
  public:
    RenamingSink(const ListingTarget& target, const FileFacts& source) : ListingFileSink(target, source) {}

  private:
    std::optional<Failure> Start() override {
        if (const std::error_code error = staging_.Create(Target().Folder(), 0666)) {
            return Failure{"no file can be created in the folder " + QuotedFolderName(Target().Folder().Path()) + ": " +
                           Because(error).reason};
        }
        return Failed(
            Target().Facts().exists ? staging_.Contents().TakeAttributesOf(Target().Facts()) : std::error_code(),
            "the new listing cannot be given the old one's owner and permissions: ");
    }

    file_system::File& Output() override { return staging_.Contents(); }

    std::optional<Failure> Place() override {
        if (const std::error_code error = staging_.TakeName(Target().Leaf())) {
            return Failed(error, "it cannot be replaced: ");
        }
        // So that a crash cannot take the new name away again.
        return Failed(Target().Folder().Sync(),
                      "the new listing is in its place, but its folder could not be put on the disk: ");
    }

    file_system::StagingFile staging_;
};

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

// Writes the old listing that the backup holds over the listing, from its first byte, cuts it there, and removes
// the backup, closed first: Windows removes no file that is open.
std::error_code PutBack(const file_system::Folder& state, const fs::path& name, File& listing) {
    File backup;
    std::error_code error = state.OpenFile(name, backup);
    error = error ? error : backup.Seek(kRecordSize);
    error = error ? error : listing.Seek(0);
    error = error ? error : file_system::CopyToEnd(backup, listing);
    error = error ? error : listing.Truncate(backup.Facts().size - kRecordSize);
    error = error ? error : listing.Sync();
    error = error ? error : backup.Close();
    return error ? error : state.Remove(name);
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
            (void)PutBack(Target().StateFolder(), name_, listing_);
        }
    }

  private:
    std::optional<Failure> Start() override {
        const ListingTarget& target = Target();
        if (const std::error_code error = target.Folder().OpenFile(target.Leaf(), listing_, true)) {
            return Because(error);
        }
        if (!listing_.Facts().IsSameFile(target.Facts())) {
            return Failure{"it is not the file whose name was checked any more."};
        }
        // The backup takes its name only once it is whole and on the disk: a run killed while it copies leaves no
        // backup that the next run would take for the old listing. Its record names the listing, also in words.
        std::error_code error;
        const std::u8string path = fs::absolute(target.File(), error).u8string();
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
        return Failed(listing_.Seek(0));
    }

    File& Output() override { return listing_; }

    std::optional<Failure> Place() override {
        backedUp_ = false;
        return Failed(Target().StateFolder().Remove(name_),
                      "the new listing is in its place, but its backup " + keptIn_ + " could not be removed: ");
    }

    Failure GiveUp(Failure failure) override {
        if (!std::exchange(backedUp_, false)) {
            return failure;  // the listing was never touched
        }
        failure.reason.pop_back();  // its full stop
        const std::error_code error = PutBack(Target().StateFolder(), name_, listing_);
        return {failure.reason + (error ? "; the old listing could not be put back: " + ErrorFragment(error) +
                                              ". It is kept in " + keptIn_ + "."
                                        : "; the old listing was put back.")};
    }

    const fs::path name_;
    const std::string keptIn_;
    File listing_;
    bool backedUp_ = false;  // the listing may be touched: its backup is on the disk
};

}  // namespace

std::unique_ptr<ListingFileSink> ListingFileSink::Open(const ListingTarget& target, const FileFacts& source) {
    return target.InPlace() ? std::unique_ptr<ListingFileSink>(std::make_unique<RewritingSink>(target, source))
                            : std::make_unique<RenamingSink>(target, source);
}

ListingFileSink::ListingFileSink(const ListingTarget& target, const FileFacts& source)
    : target_(target), source_(source) {
    pending_.reserve(kPieceSize + kPieceSize / 16);  // a piece and a long line
}

void ListingFileSink::Write(std::string_view line) {
    if (!failure_) {
        pending_.append(line).append(kListingLineEnd);
    }
    if (pending_.size() >= kPieceSize) {
        PassPending(false);
    }
}

void ListingFileSink::PassPending(bool last) {
    if (!std::exchange(started_, true)) {
        failure_ = Start();
    }
    written_ += pending_.size();
    std::error_code error = failure_ ? std::error_code() : Output().WriteAll(pending_);
    // The last piece is on the disk before the listing takes the target's place, so that a crash right after cannot
    // leave a partial listing under the target's name; in place, without what is left of a longer old listing.
    error = error || failure_ || !last ? error : Output().Truncate(written_);
    error = error || failure_ || !last ? error : Output().Sync();
    if (error) {
        failure_ = Because(error);
    }
    if (!failure_) {
        Output().StartWriteback();
    }
    pending_.clear();
}

void ListingFileSink::FinishWriting() {
    if (!std::exchange(finished_, true) && !failure_) {
        PassPending(true);
    }
}

std::optional<Failure> ListingFileSink::Commit() {
    FinishWriting();
    // Looked at again right before it takes the target's place, in the folder that was opened when the names were
    // checked.
    if (FileFacts now; !failure_ && !target_.Folder().FactsOf(target_.Leaf(), now)) {
        if (now.exists && !now.ordinary) {
            failure_ = Failure{"it is not an ordinary file."};
        } else if (now.IsSameFile(source_)) {
            failure_ = Failure{"it is the Spectrum 128 ROM disassembly itself now."};
        }
    }
    return failure_ ? std::optional<Failure>(GiveUp(*failure_)) : Place();
}

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
        return Failure{"in the folder " + QuotedFolderName(path) + ": " +
                       (error ? Because(error).reason : "it is not a folder of yours that only you may use.")};
    }
    return std::nullopt;
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
    // Only a private file of the user's own with one name, made by this program for this very listing, is read and
    // put back: not one made for a listing that is gone, nor for another file known by the same number since.
    const Failure notMade{backupName +
                          " is not one that this program made for this very listing; it is left as it is."};
    File backup;
    File listing;
    std::string record(kRecordSize, '\0');
    if (!facts.ordinary || facts.names != 1 || !facts.IsPrivate()) {
        return notMade;
    }
    std::error_code error = state.OpenFile(name, backup);
    record.resize(error ? 0 : backup.ReadSome(record.data(), record.size(), error));
    error = error ? error : backup.Close();  // so that it can be removed once it is put back
    error = error ? error : target.Folder().OpenFile(target.Leaf(), listing, true);
    if (error == std::errc::no_such_file_or_directory ||
        (!error && (!record.starts_with(Identity(target, listing.Facts())) || listing.Facts().IsSameFile(source)))) {
        return notMade;
    }
    if (error = error ? error : PutBack(state, name, listing); error) {
        return Failure{backupName + " cannot be put back: " + Because(error).reason};
    }
    return std::optional<fs::path>(state.Path() / name);
}

std::optional<fs::path> FindBackup(const fs::path& listing) {
    const fs::path backup = file_system::StateFolder() / BackupName(ListingKey(listing));
    std::error_code error;
    return !backup.is_relative() && fs::exists(backup, error) ? std::optional<fs::path>(backup) : std::nullopt;
}

}  // namespace veltrin
