#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "files/file_system.h"
#include "files/listing_file.h"
#include "files/listing_file_sink.h"
#include "files/listing_target.h"
#include "support/data_table.h"
#include "support/test_folder.h"

#ifndef _WIN32
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "support/child_process.h"
#include "support/system_call_faults.h"
#endif

namespace veltrin {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::WriteFile;

// An earlier listing longer than the new one, which must leave nothing of it; the new one comes in two pieces, so
// that a write can fail at the first and the second still be offered. Rewritten in place, the earlier one is copied
// to its backup after the backup's record, so that the first piece of the new one is the second write of a row.
const std::string kOldListing = std::string((std::size_t{1} << 20) + 8, 'o') + "\r\n";
const std::string kNewListing = std::string(ListingFileSink::kPieceSize, 'n') + "\r\nnew\r\n";

// The earlier listing, and whichever odd file the row names.
void Prepare(const fs::path& folder, const std::string& name) {
    WriteFile(folder / "out.asm", kOldListing);
    if (name.ends_with("linked.asm")) {
        fs::create_hard_link(folder / "out.asm", folder / name);
        if (name.starts_with("posix-shared")) {  // a state folder that others may use
            fs::create_directory(folder / "state" / "veltrin");
            fs::permissions(folder / "state" / "veltrin", fs::perms::all);
        }
    } else if (name == "read-only.asm" || name == "locked.asm" || name == "posix-swapped.asm") {
        WriteFile(folder / name, kOldListing);  // nobody may write the first, not even an administrator
        fs::permissions(folder / name, fs::perms::owner_read | fs::perms::group_read |
                                           (name == "read-only.asm" ? fs::perms::none : fs::perms::owner_write));
    } else if (name == "folder.asm") {
        fs::create_directory(folder / name);

    } else if (name == "huge.asm") {
        WriteFile(folder / name, "");
        fs::resize_file(folder / name, kMaxSourceBytes + 1);
    } else if (name.starts_with("lines")) {  // the last line without its CR, or with it
        WriteFile(folder / name, std::string(kMaxSourceLines, '\r') + (name == "lines.asm" ? "x" : "x\r"));
#ifndef _WIN32
    } else if (name == "posix-attributed.asm") {  // two extended attributes, for a new file to take over
        WriteFile(folder / name, kOldListing);
        for (const char* attribute : {"user.a", "user.b"}) {
            ASSERT_EQ(::setxattr((folder / name).c_str(), attribute, "1", 1, 0), 0);
        }
    } else if (name == "posix-pipe.asm") {
        ASSERT_EQ(::mkfifo((folder / name).c_str(), 0600), 0);
    } else if (name == "posix-loop.asm") {  // a link to itself
        fs::create_symlink(name, folder / name);
    } else if (name == "posix-cut-off.asm") {  // left half rewritten in place, with its backup, by a killed run
        WriteFile(folder / name, kOldListing);
        testing_support::CutOffRewrite(folder / name);
#endif
    }
}

// A file that cannot be read, checked or written gives its reason, and the old file stays as it was with nothing
// left beside it. A fault that the file layer works around changes nothing but how a listing is written. The rows
// run in one test, as starting a program for each would take longer than the rows themselves.
TEST(ListingFileFailures, EndAsTheTableSays) {
#ifndef _WIN32
    // As in a program started without standard input, the first file that the listing layer opens gets descriptor 0,
    // and each row must close every descriptor it opened, that one included.
    ::close(STDIN_FILENO);
    const auto openDescriptors = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); };
    const mode_t mask = ::umask(0);  // a new listing gets what the user's mask leaves of read and write for all
    ::umask(mask);
#endif
    for (const std::vector<std::string>& row : testing_support::ReadDataTable("listing_file_failures.txt")) {
        SCOPED_TRACE(row.at(0) + " | " + row.at(1) + " | " + row.at(2));  // action | name | faults | outcome
        const std::string name = std::regex_replace(row.at(1), std::regex(R"(\\n)"), "\n");  // a control character
        testing_support::TestFolder folder;
        fs::create_directory(folder / "state");  // the user's state folder is in it, for the backups that go there
#ifndef _WIN32
        // A user without a home, or one with a relative name for it that another may have planted in any folder.
        const bool homeless = name.starts_with("posix-homeless");
        ::setenv("XDG_STATE_HOME", homeless ? "state" : (folder / "state").c_str(), 1);
        ::setenv("HOME", homeless ? "." : "/", 1);  // which nothing else here reads
#endif
        Prepare(folder.Path(), name);
        const fs::path file = name.empty() ? fs::path() : folder.Path() / fs::path(name).make_preferred();
        std::set<std::string> names = folder.Names();
        const std::string oldBytes = row[0] == "write" && fs::is_regular_file(file) ? ReadFile(file) : "";
        // Which file the name stands for, to tell a file written in place from a new one that took its name.
        file_system::FileFacts before;
        (void)file_system::Folder().FactsOf(file, before);
        const std::string where = row.size() > 4 ? row[4] : "";
#ifdef _WIN32  // no C library functions to replace, no POSIX special files
        if (row[2] != "-" || name.starts_with("posix-") || name[0] == '/' || where == "portable") {
            continue;
        }
#else
#ifdef VELTRIN_PORTABLE_POSIX
        const std::string_view skipped = "linux";
#else
        const std::string_view skipped = "portable";
#endif
        if (where == skipped) {
            continue;
        }
        // A pipe or a device is refused before it is opened, as opening one may already do something; only the pipe's
        // row watches for an open.
        const int opens = name == "posix-pipe.asm" ? ::inotify_init1(IN_NONBLOCK) : -1;
        ::inotify_add_watch(opens, file.c_str(), IN_OPEN);
        const auto descriptorsBefore = openDescriptors();
        testing_support::ArmSystemCallFaults(row.at(2));  // "-" arms none
#endif
        // What the row's action comes to; the listing's target, and the folder that it holds open, end with it.
        const auto act = [&]() -> std::string {
            if (row[0] == "put back") {
                const Expected<std::optional<fs::path>> backup = PutBackLeftListing(*ListingTarget::Find(file), {});
                return !backup ? backup.Reason() : *backup ? "put back" : "nothing to put back";
            }
            if (row[0] == "load") {
                const Expected<LoadedListing> source = LoadListing(file);
                return source ? "read" : source.Reason();
            }
            const Expected<ListingTarget> otherRun = ListingTarget::Find(name == "locked.asm" ? file : fs::path());
            const Expected<ListingTarget> target = ListingTarget::Find(file);
            if (!target || row[0] == "check") {
                return !target             ? target.Reason()
                       : target->InPlace() ? "may be written in place"
                                           : "may be written anew";
            }
            const std::unique_ptr<ListingFileSink> sink = ListingFileSink::Open(*target, {});
            sink->Write(std::string(ListingFileSink::kPieceSize, 'n'));
#ifndef _WIN32
            if (name.starts_with("posix-swapped")) {  // a pipe takes the listing's name while it is written
                fs::remove(file);
                EXPECT_EQ(::mkfifo(file.c_str(), 0600), 0);
            }
#endif
            sink->Write("new");
            const std::optional<Failure> failure = sink->Commit();
            return failure ? failure->reason : "written";
        };
        std::string outcome = act();
        EXPECT_TRUE(outcome != "put back" || ReadFile(file) == kOldListing);
        if (row[0] == "write") {
            file_system::FileFacts after;
            (void)file_system::Folder().FactsOf(file, after);
            const bool written = outcome == "written" || outcome.starts_with("the new listing is in its place");
            outcome = outcome != "written" ? outcome : after.IsSameFile(before) ? "written in place" : "written anew";
            EXPECT_TRUE(!fs::is_regular_file(file) || ReadFile(file) == (written ? kNewListing : oldBytes));
#ifndef _WIN32
            EXPECT_TRUE(name != "new.asm" || !written || fs::status(file).permissions() == fs::perms(0666 & ~mask));
#endif
            names.insert(written ? file.filename().string() : "out.asm");  // out.asm is always there
        }
        // A backup stays exactly when the outcome says where it is, for the next run to put back, and others may not
        // read the listing there.
        std::error_code absent;  // for a state folder or a read-only file that is not there
        EXPECT_TRUE(!fs::exists(folder / "state" / "veltrin") || name.starts_with("posix-shared") ||
                    fs::status(folder / "state" / "veltrin").permissions() == fs::perms::owner_all);
        bool kept = false;
        for (const fs::directory_entry& backup : fs::directory_iterator(folder / "state" / "veltrin", absent)) {
            kept = true;
            EXPECT_EQ(backup.status().permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
        }
        EXPECT_EQ(kept, outcome.ends_with("\".") || outcome.ends_with("could not be removed: input/output error.") ||
                            outcome.starts_with("its backup"));
#ifndef _WIN32
        EXPECT_TRUE(testing_support::DisarmSystemCallFaults()) << "a fault that never struck";
        EXPECT_EQ(openDescriptors(), descriptorsBefore) << "a descriptor left open";
        inotify_event opened{};
        EXPECT_LT(::read(opens, &opened, sizeof opened), 1) << "the pipe was opened";
        ::close(opens);
#endif
        const std::string expected = std::regex_replace(row.at(3), std::regex(R"(\{folder\})"), folder.Path().string());
        outcome = std::regex_replace(outcome, std::regex(R"([0-9]+\.vlt-old)"), "KEY.vlt-old");  // a backup's name
        EXPECT_EQ(outcome, fs::path(expected).make_preferred().string());  // with the system's separators
        EXPECT_EQ(folder.Names(), names);
        // So that Windows can remove it.
        fs::permissions(folder / "read-only.asm", fs::perms::owner_write, fs::perm_options::add, absent);
    }
}

}  // namespace
}  // namespace veltrin
