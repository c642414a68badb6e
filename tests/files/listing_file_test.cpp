#include "files/listing_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "files/listing_file_sink.h"
#include "files/listing_target.h"
#include "support/data_table.h"
#include "support/test_folder.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "support/child_process.h"
#endif

namespace veltrin {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::WriteFile;
using Lines = std::vector<std::string>;

// The portable half cannot see access control lists, so it rewrites every listing that exists in place.
#ifdef VELTRIN_PORTABLE_POSIX
constexpr bool kEveryListingInPlace = true;
#else
constexpr bool kEveryListingInPlace = false;
#endif

class ListingFileTest : public ::testing::Test {
  protected:
    fs::path PathOf(const char* name) const { return folder_ / name; }

    testing_support::TestFolder folder_;
};

#ifndef _WIN32
// Writes "new" to the target as a run would, the 128 listing's file being `source`; the reason of a failure, or
// "written".
std::string WriteTo(const Expected<ListingTarget>& target, const file_system::FileFacts& source = {}) {
    if (!target) {
        return target.Reason();
    }
    const std::unique_ptr<ListingFileSink> sink = ListingFileSink::Open(*target, source);
    sink->Write("new");
    const std::optional<Failure> failure = sink->Commit();
    return failure ? failure->reason : "written";
}

// What a replacement must keep of a file, as text: owner, group, permission bits and extended attributes.
std::string FactsOf(const fs::path& file) {
    struct stat status {};
    ::stat(file.c_str(), &status);
    std::string facts =
        std::to_string(status.st_uid) + ":" + std::to_string(status.st_gid) + " " + std::to_string(status.st_mode);
    std::string names(4096, '\0');
    names.resize(static_cast<std::size_t>(std::max<ssize_t>(0, ::listxattr(file.c_str(), names.data(), names.size()))));
    for (std::size_t start = 0; start < names.size(); start = names.find('\0', start) + 1) {
        std::string value(4096, '\0');
        value.resize(static_cast<std::size_t>(::getxattr(file.c_str(), &names[start], value.data(), value.size())));
        facts += " " + std::string(&names[start]) + "=" + value;
    }
    return facts;
}

ino_t InodeOf(const fs::path& file) {
    struct stat status {};
    ::stat(file.c_str(), &status);
    return status.st_ino;
}

#endif

TEST_F(ListingFileTest, ReadingCutsTheBytesIntoLines) {
    for (std::vector<std::string> row : testing_support::ReadDataTable("source_line_ends.txt")) {
        std::ranges::transform(row, row.begin(), testing_support::Unescaped);
        WriteFile(PathOf("in.asm"), row.at(0));
        const Expected<LoadedListing> source = LoadListing(PathOf("in.asm"));
        ASSERT_TRUE(source) << source.Reason();
        Lines lines(1, row[0]);  // the bytes, then the lines that they hold
        for (std::size_t index = 0; index < source->lines.size(); ++index) {
            lines.emplace_back(source->lines[index]);
        }
        EXPECT_EQ(lines, row.size() == 2 && row[1] == "-" ? Lines(1, row[0]) : row);
    }
}

#ifndef _WIN32

// The rows of replaced_listings.txt.
TEST_F(ListingFileTest, ReplacementKeepsWhatAnOverwriteKeeps) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root, to give files to nobody and to act as nobody";
    }
    constexpr uid_t kNobody = 65534;
    // 0600 for root, with an entry that lets nobody read and write: user::rw- user:nobody:rw- group::--- mask::rw-
    const std::uint32_t kAccessList[] = {2,          0x60001, 0xFFFFFFFF, 0x60002, kNobody,   0x00004,
                                         0xFFFFFFFF, 0x60010, 0xFFFFFFFF, 0x00020, 0xFFFFFFFF};
    fs::create_directory(PathOf("shared"));
    fs::create_directory(PathOf("acl"));
    // Each user's own state folder, which takes the backup of a listing rewritten in place.
    fs::create_directory(PathOf("nobody"));
    ASSERT_EQ(::chown(PathOf("nobody").c_str(), kNobody, kNobody), 0);
    fs::permissions(PathOf("shared"), fs::perms::all | fs::perms::sticky_bit);
    for (const std::vector<std::string>& row : testing_support::ReadDataTable("replaced_listings.txt")) {
        const fs::path file = PathOf(row.at(0).c_str());
        const bool asNobody = row.at(1) == "nobody";
        const auto more = [&row](const char* what) { return row.at(4).find(what) != std::string::npos; };
        WriteFile(file, "old\r\n");
        const auto id = [&row](std::size_t field) { return static_cast<uid_t>(std::stoul(row.at(field))); };
        ASSERT_EQ(::chown(file.c_str(), id(2), id(3)), 0);
        if (more("second name")) {
            fs::create_hard_link(file, PathOf("other.asm"));
        }
        if (more("permissions for all")) {
            fs::permissions(file, fs::perms::all);
        }
        if (more("folder access list")) {
            const fs::path folder = file.parent_path();
            ASSERT_EQ(::setxattr(folder.c_str(), "system.posix_acl_default", kAccessList, sizeof kAccessList, 0), 0);
        } else if (more("access list")) {
            ASSERT_EQ(::setxattr(file.c_str(), "system.posix_acl_access", kAccessList, sizeof kAccessList, 0), 0);
        }
        if (more("attribute")) {
            ASSERT_EQ(::setxattr(file.c_str(), "user.veltrin", "kept", 4, 0), 0);
        }
        const std::string before = FactsOf(file);
        const ino_t number = InodeOf(file);
        const auto write = [&] {
            ::setenv("XDG_STATE_HOME", PathOf(asNobody ? "nobody" : "state").c_str(), 1);
            return WriteTo(ListingTarget::Find(file)) == "written";
        };
        EXPECT_TRUE(asNobody ? testing_support::InChildProcess(write, true) : write()) << row[0];
        EXPECT_EQ(ReadFile(file), "new\r\n") << row[0];
        EXPECT_EQ(FactsOf(file), before) << row[0];
        EXPECT_EQ(InodeOf(file) != number, row.at(5) == "a new file" && !kEveryListingInPlace) << row[0];
    }
    EXPECT_EQ(ReadFile(PathOf("other.asm")), "new\r\n");
    // The backups went with the rewrites, and each was the user's own.
    EXPECT_TRUE(fs::is_empty(PathOf("state") / "veltrin") && fs::is_empty(PathOf("nobody") / "veltrin"));
    // Where no file may be created, a new listing is refused before anything is generated.
    EXPECT_FALSE(testing_support::InChildProcess(
        [&] { return static_cast<bool>(ListingTarget::Find(PathOf("new.asm"))); }, true));
}

// The rows of shared_folder_links.txt.
TEST_F(ListingFileTest, LinkInASharedFolderIsFollowedOnlyIfItsOwnerIsTrusted) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root, to give links and folders to nobody";
    }
    for (const std::vector<std::string>& row : testing_support::ReadDataTable("shared_folder_links.txt")) {
        const auto number = [&row](std::size_t field, int base) {
            return static_cast<unsigned>(std::stoul(row.at(field), nullptr, base));
        };
        const bool followed = row.at(3) == "yes";
        WriteFile(PathOf("target.asm"), "old\r\n");
        fs::remove_all(PathOf("folder"));
        fs::create_directory(PathOf("folder"));
        fs::permissions(PathOf("folder"), static_cast<fs::perms>(number(0, 8)));
        ASSERT_EQ(::chown(PathOf("folder").c_str(), number(1, 10), number(1, 10)), 0);
        fs::create_symlink("../target.asm", PathOf("folder") / "link.asm");
        ASSERT_EQ(::lchown((PathOf("folder") / "link.asm").c_str(), number(2, 10), number(2, 10)), 0);
        const std::string outcome = WriteTo(ListingTarget::Find(PathOf("folder") / "link.asm"));
        EXPECT_EQ(ReadFile(PathOf("target.asm")), followed ? "new\r\n" : "old\r\n");
        EXPECT_TRUE(fs::is_symlink(PathOf("folder") / "link.asm"));  // written through, not replaced
        EXPECT_EQ(outcome == "written", followed) << outcome;
        EXPECT_TRUE(followed || (outcome.starts_with("it is a link that") && outcome.ends_with("followed.")))
            << outcome;
    }
}

// A listing goes to the folder that was opened when its name was checked, whatever takes that folder's path
// meanwhile, and never takes the 128 listing's place, however that file came to have the listing's name.
TEST_F(ListingFileTest, ListingStaysInTheFolderThatWasChecked) {
    fs::create_directories(PathOf("source"));
    WriteFile(PathOf("source") / "128.asm", "source\r\n");
    fs::create_directories(PathOf("out"));
    WriteFile(PathOf("out") / "en.asm", "old\r\n");
    const auto source = LoadListing(PathOf("source") / "128.asm");
    ASSERT_TRUE(source);
    const Expected<ListingTarget> target = ListingTarget::Find(PathOf("out") / "en.asm");
    ASSERT_TRUE(target);
    fs::rename(PathOf("out"), PathOf("moved"));
    fs::create_directory_symlink("source", PathOf("out"));
    EXPECT_EQ(WriteTo(target, source->facts), "written");
    EXPECT_EQ(ReadFile(PathOf("moved") / "en.asm"), "new\r\n");
    fs::create_hard_link(PathOf("source") / "128.asm", PathOf("moved") / "128.asm");
    fs::rename(PathOf("moved") / "128.asm", PathOf("moved") / "en.asm");
    EXPECT_EQ(WriteTo(target, source->facts), kEveryListingInPlace
                                                  ? "it is not the file whose name was checked any more."
                                                  : "it is the Spectrum 128 ROM disassembly itself now.");
    EXPECT_EQ(ReadFile(PathOf("source") / "128.asm"), "source\r\n");
}

#endif

}  // namespace
}  // namespace veltrin
