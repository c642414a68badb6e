#include "files/listing_target.h"

#include <algorithm>
#include <functional>
#include <string>
#include <system_error>

#include "files/listing_file_sink.h"
#include "files/message_text.h"

namespace veltrin {

namespace fs = std::filesystem;
using file_system::FileFacts;

namespace {

constexpr int kMaxLinks = 40;

// The whole name, as the system would find the file: links followed and made absolute, at any depth.
std::string FullName(const fs::path& name) {
    const Expected<fs::path> followed = FollowLinks(name);
    std::error_code error;
    const fs::path whole = fs::absolute(followed ? *followed : name, error).lexically_normal();
    const fs::path canonical = fs::weakly_canonical(whole, error);
    const std::u8string full = (error ? whole : canonical).u8string();
    return {full.begin(), full.end()};
}

std::string CaseFolded(std::string name) {
    std::ranges::for_each(name, [](char& c) { c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return name;
}

}  // namespace

Expected<fs::path> FollowLinks(const fs::path& name) {
    fs::path followed = name;
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        std::error_code error;
        if (fs::symlink_status(followed, error).type() != fs::file_type::symlink) {
            return followed;
        }
        if (!file_system::MayFollowLink(followed)) {
            // The name itself is in the message already; a link further along the chain is named.
            return Failure{(hop == 0 ? std::string("it is a link that") : "the link " + QuotedFileName(followed)) +
                           " lies in a folder that every user may write and belongs neither to you nor to the "
                           "folder's owner, so it is not followed."};
        }
        const fs::path target = fs::read_symlink(followed, error);
        if (error) {
            return Failure{"the link " + QuotedFileName(followed) + " cannot be followed: " + ErrorFragment(error) +
                           "."};
        }
        followed = target.is_absolute() ? target : followed.parent_path() / target;
    }
    return Failure{"it leads through too many links."};
}

std::string ListingKey(const fs::path& name) { return std::to_string(std::hash<std::string>()(FullName(name))); }

bool IsSameFile(const fs::path& first, const fs::path& second) {
    std::error_code error;
    return fs::equivalent(first, second, error) || FullName(first) == FullName(second);
}

bool DifferOnlyInCase(const fs::path& first, const fs::path& second) {
    return CaseFolded(FullName(first)) == CaseFolded(FullName(second));
}

Expected<ListingTarget> ListingTarget::Find(const fs::path& name) {
    if (name.empty()) {
        return Failure{"no file name was given."};
    }
    Expected<fs::path> followed = FollowLinks(name);
    if (!followed) {
        return Failure{followed.Reason()};
    }
    ListingTarget target;
    target.file_ = std::move(*followed);
    if (target.file_.filename().empty()) {
        return Failure{"it names a folder, not a file."};
    }
    const fs::path folder = target.file_.has_parent_path() ? target.file_.parent_path() : fs::path(".");
    if (const std::error_code error = target.folder_.Open(folder)) {
        const std::string quoted = QuotedFolderName(folder);
        return Failure{error == std::errc::no_such_file_or_directory ? "the folder " + quoted + " does not exist."
                       : error == std::errc::not_a_directory
                           ? quoted + " is not a folder."
                           : "the folder " + quoted + " cannot be examined: " + ErrorFragment(error) + "."};
    }
    FileFacts& facts = target.facts_;
    if (const std::error_code error = target.folder_.FactsOf(target.Leaf(), facts)) {
        return Failure{"it cannot be examined: " + ErrorFragment(error) + "."};
    }
    // What a plain overwrite could not or should not write: a folder, a device or other special file, a file the
    // user may not write, and a file that nobody may write (so that a read-only listing is kept even for an
    // administrator, whom permission bits do not stop).
    if (facts.exists && !facts.ordinary) {
        return Failure{facts.folder ? "it is a folder, not a file." : "it is not an ordinary file."};
    }
    if (facts.readOnly) {
        return Failure{"it is read-only."};
    }
    if (const std::error_code error = facts.exists ? target.folder_.CheckWritable(target.Leaf()) : std::error_code()) {
        const bool refused = error == std::errc::permission_denied || error == std::errc::read_only_file_system ||
                             error == std::errc::operation_not_permitted;
        return Failure{refused ? "it is read-only." : ErrorFragment(error) + "."};
    }
    const std::error_code folderError = target.folder_.CheckWritable(".");
    if (folderError && !facts.exists) {
        return Failure{"no file can be created in the folder " + QuotedFolderName(folder) + ": " +
                       ErrorFragment(folderError) + "."};
    }
    if (!target.folder_.Lock(target.Leaf(), ListingKey(target.file_), facts, target.lock_)) {
        return Failure{"another run is writing it."};
    }
    target.inPlace_ = facts.exists && (facts.names > 1 || facts.keepsMoreThanItsBytes || folderError);
    if (const std::optional<Failure> failure = target.inPlace_ ? OpenStateFolder(target.stateFolder_) : std::nullopt) {
        return Failure{"its old listing cannot be kept " + failure->reason};
    }
    target.folder_.RemoveStaleStaging();
    target.stateFolder_.RemoveStaleStaging();  // where a folder is not opened, or takes no new file, nothing is left
    return target;
}

}  // namespace veltrin
