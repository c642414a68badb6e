#include "files/listing_target.h"

#include <algorithm>
#include <string>
#include <system_error>

#include "files/message_text.h"

namespace veltrin {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxLinks = 40;

bool IsPermissionError(const std::error_code& error) {
    return error == std::errc::permission_denied || error == std::errc::read_only_file_system ||
           error == std::errc::operation_not_permitted;
}

// The whole name, as the system would find the file: links followed and made absolute.
std::string FullName(const fs::path& name) {
    const Expected<fs::path> followed = FollowLinks(name);
    std::error_code error;
    return fs::weakly_canonical(fs::absolute(followed ? *followed : name, error), error).string();
}

std::string CaseFolded(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
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
        if (error == std::errc::no_such_file_or_directory) {
            return Failure{"the folder " + QuotedFileName(folder) + " does not exist."};
        }
        return Failure{error == std::errc::not_a_directory ? QuotedFileName(folder) + " is not a folder."
                                                           : "the folder " + QuotedFileName(folder) +
                                                                 " cannot be examined: " + ErrorFragment(error) + "."};
    }
    file_system::FileFacts& facts = target.facts_;
    if (const std::error_code error = target.folder_.FactsOf(target.Leaf(), facts)) {
        return Failure{"it cannot be examined: " + ErrorFragment(error) + "."};
    }
    // What a plain overwrite could not or should not write: a folder, a device or other special file, a file the
    // user may not write, and a file that nobody may write (so that a read-only listing is kept even for an
    // administrator, whom permission bits do not stop).
    if (facts.folder) {
        return Failure{"it is a folder, not a file."};
    }
    if (facts.exists && !facts.ordinary) {
        return Failure{"it is not an ordinary file."};
    }
    if (facts.readOnly) {
        return Failure{"it is read-only."};
    }
    if (const std::error_code error = facts.exists ? target.folder_.CheckWritable(target.Leaf()) : std::error_code()) {
        return Failure{IsPermissionError(error) ? "it is read-only." : ErrorFragment(error) + "."};
    }
    const std::error_code folderError = target.folder_.CheckWritable(".");
    if (folderError && !facts.exists) {
        return Failure{"no file can be created in the folder " + QuotedFileName(folder) + ": " +
                       ErrorFragment(folderError) + "."};
    }
    target.folderWritable_ = !folderError;
    target.inPlace_ = facts.exists && (facts.names > 1 || facts.keepsMoreThanItsBytes || folderError);
    if (target.folderWritable_) {
        target.folder_.RemoveStaleStaging();
    }
    return target;
}

}  // namespace veltrin
