#pragma once

#include <filesystem>
#include <string>

#include "files/failure.h"
#include "files/file_system.h"

namespace veltrin {

// Where a listing goes, found when the names are checked, before anything is generated: the file that writing
// through the given name reaches, its folder, opened once, how the listing will take its place, and the lock that
// keeps other runs away from it until this run is done. The reason of a failure reads after "Could not write ... to
// "NAME": " and ends with a full stop.
class ListingTarget {
  public:
    static Expected<ListingTarget> Find(const std::filesystem::path& name);

    [[nodiscard]] const std::filesystem::path& File() const { return file_; }
    [[nodiscard]] std::filesystem::path Leaf() const { return file_.filename(); }
    [[nodiscard]] const file_system::Folder& Folder() const { return folder_; }
    [[nodiscard]] const file_system::FileFacts& Facts() const { return facts_; }
    // A new file taking the name would lose what a plain overwrite keeps: the file's other names, an owner or access
    // list that a new file cannot be given, or the folder does not let the user create one. The listing is then
    // rewritten in place, with a backup of the old one in the user's state folder until it is whole.
    [[nodiscard]] bool InPlace() const { return inPlace_; }
    // The user's state folder, opened when the listing is to be rewritten in place.
    [[nodiscard]] const file_system::Folder& StateFolder() const { return stateFolder_; }

  private:
    std::filesystem::path file_;
    file_system::Folder folder_;
    file_system::FileFacts facts_;
    file_system::File lock_;
    file_system::Folder stateFolder_;
    bool inPlace_ = false;
};

// The name that writing through the given one reaches: the chain of links followed to its end, even when the last
// one leads nowhere yet, as the write would create that file.
Expected<std::filesystem::path> FollowLinks(const std::filesystem::path& name);

// A number that every run makes of the whole name that writing through the given one reaches: the listing's lock
// (on Windows) and its backup are known by it.
std::string ListingKey(const std::filesystem::path& name);

// Whether two names reach the same file.
bool IsSameFile(const std::filesystem::path& first, const std::filesystem::path& second);
// Whether two names reach files whose whole names differ only in case: one file on the volumes that fold case, and
// never what a user means elsewhere.
bool DifferOnlyInCase(const std::filesystem::path& first, const std::filesystem::path& second);

}  // namespace veltrin
