#include "app/listing_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/listing_file_sink.h"
#include "app/listing_writer.h"
#include "support/test_folder.h"

#ifndef _WIN32
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <csignal>
#endif

namespace veltrin {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::WriteFile;
using Lines = std::vector<std::string>;

// Writes the lines as a +2 listing is written: each to the file sink as it comes, then the sink committed.
bool WriteListing(const fs::path& fileName, const Lines& lines, std::string& failureReason) {
    std::string pending;
    ListingFileSink sink(fileName, pending);
    for (const std::string& line : lines) {
        sink.Write(line);
    }
    return sink.Commit(failureReason);
}

class ListingFileTest : public ::testing::Test {
  protected:
    fs::path PathOf(const char* name) const { return folder_ / name; }

    // The names in the folder, so that a test can see that no temporary file was left behind.
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder_.Path())) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    testing_support::TestFolder folder_;
    std::string reason_;
};

#ifndef _WIN32
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

// Runs the action in a child process that has become nobody; true when it succeeded there.
bool AsNobody(const std::function<bool()>& action) {
    constexpr uid_t kNobody = 65534;
    const pid_t child = ::fork();
    if (child == 0) {
        const bool succeeded =
            ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 && action();
        ::_exit(succeeded ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
#endif

TEST_F(ListingFileTest, ReadingCutsTheBytesIntoLines) {
    const struct {
        std::string bytes;
        Lines expected;
    } rows[] = {
        {"; a\r\nL0000:  DI\r\n", {"", "; a", "L0000:  DI"}},  // CR LF after every line
        {"one\rtwo\r", {"", "one", "two"}},                    // CR alone
        {"one\rtwo\r\nthree", {"", "one", "two", "three"}},    // mixed, no final terminator
        {"one\ntwo\n\rx", {"", "one\ntwo\n", "x"}},            // a bare LF belongs to the line
        {"one\r\n\ntwo", {"", "one", "\ntwo"}},                // only one LF joins the CR
        {"one\r\n\r\ntwo\r\r", {"", "one", "", "two", ""}},    // two terminators in a row
        {"\r\n", {"", ""}},
        {"", {}},  // an empty file has no elements, not even element 0
        {std::string("a\0\x80\xFF\r\n\xE9", 7), {"", std::string("a\0\x80\xFF", 4), "\xE9"}},
    };
    for (const auto& row : rows) {
        WriteFile(PathOf("in.asm"), row.bytes);
        SourceLines lines(std::string_view("old\r\nlines\r\n"));
        ASSERT_TRUE(LoadListing(PathOf("in.asm"), lines, reason_));
        Lines elements;  // element 0 included
        for (std::size_t index = 0; index < lines.size(); ++index) {
            elements.emplace_back(lines[index]);
        }
        EXPECT_EQ(elements, row.expected) << ::testing::PrintToString(row.bytes);
    }
}

// Only an ordinary file of a listing's size is read; a pipe or device is refused before it is read (a test that
// hangs here has found the fault).
TEST_F(ListingFileTest, LoadFailuresSayWhy) {
    WriteFile(PathOf("in.asm"), "; a\r\n");
    fs::create_directory(PathOf("folder.asm"));
    std::ofstream(PathOf("huge.asm")).close();
    fs::resize_file(PathOf("huge.asm"), kMaxSourceBytes + 1);
    WriteFile(PathOf("lines.asm"), std::string(kMaxSourceLines, '\r') + "x");
    const struct {
        fs::path name;
        std::string reason;
    } rows[] = {
        {PathOf("missing.asm"), "no such file or directory."},
        {fs::path(), "no file name was given."},
        {PathOf("folder.asm"), "not an ordinary file."},
        {PathOf("huge.asm"), "too large: " + std::to_string(kMaxSourceBytes + 1) + " bytes."},
        {PathOf("lines.asm"), "too large: " + std::to_string(kMaxSourceLines + 1) + " lines."},
#ifndef _WIN32
        {"/dev/zero", "not an ordinary file."},
        {PathOf("pipe.asm"), "not an ordinary file."},
#endif
    };
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(PathOf("pipe.asm").c_str(), 0600), 0);
#endif
    for (const auto& row : rows) {
        SourceLines lines(std::string_view("old\r\n"));
        EXPECT_FALSE(LoadListing(row.name, lines, reason_)) << row.name;
        EXPECT_EQ(reason_, row.reason) << row.name;
        EXPECT_TRUE(lines.empty()) << row.name;
    }
}

// Each listing is shorter than the file it replaces, the second one much shorter: nothing old may be left. A listing
// of megabytes goes out in pieces; every line, the longest included, must arrive once and whole.
TEST_F(ListingFileTest, WritingEndsEveryLineWithCrLf) {
    Lines longListing(120000, "        DEFB $00, $00   ; Spare.");
    longListing[60000] = std::string(3 << 20, 'x');
    std::string longBytes;
    for (const std::string& line : longListing) {
        longBytes += line + "\r\n";
    }
    const struct {
        Lines lines;
        std::string bytes;
    } rows[] = {
        {longListing, longBytes},
        {{"; title", "", "  RET \t"}, "; title\r\n\r\n  RET \t\r\n"},
        {{std::string("\0\x80\n", 3)}, std::string("\0\x80\n\r\n", 5)},
        {{}, ""},
    };
    WriteFile(PathOf("out.asm"), std::string(10000, 'o') + "\r\nold line\r\n");
    reason_ = "from an earlier failure";
    for (const auto& row : rows) {
        ASSERT_TRUE(WriteListing(PathOf("out.asm"), row.lines, reason_)) << reason_;
        EXPECT_TRUE(ReadFile(PathOf("out.asm")) == row.bytes) << row.lines.size() << " lines";
        EXPECT_EQ(reason_, "");
    }
    EXPECT_EQ(Names(), std::set<std::string>{"out.asm"});
}

// Each name is refused before anything is created, by the check alone as by a write, with the same reason.
TEST_F(ListingFileTest, WriteFailuresLeaveTheOldFileAndNoTemporary) {
    WriteFile(PathOf("out.asm"), "old\r\n");
    // A file that nobody may write is refused even for an administrator.
    fs::permissions(PathOf("out.asm"), fs::perms::owner_read | fs::perms::group_read);
    fs::create_directory(PathOf("folder.asm"));
    const struct {
        fs::path name;
        std::string reason;
    } rows[] = {
        {PathOf("missing") / "out.asm", "the folder \"" + PathOf("missing").string() + "\" does not exist."},
        {fs::path(), "no file name was given."},
        {PathOf("out.asm"), "it is read-only."},
        {PathOf("folder.asm"), "it is a folder, not a file."},
        {PathOf("out.asm") / "x.asm", "\"" + PathOf("out.asm").string() + "\" is not a folder."},
#ifndef _WIN32  // where a name may hold a control character; a message shows it escaped
        {PathOf("a\nb") / "x.asm", "the folder \"" + PathOf("a\\x0Ab").string() + "\" does not exist."},
#endif
    };
    for (const auto& row : rows) {
        EXPECT_FALSE(CheckListingTarget(row.name, reason_)) << row.name;
        EXPECT_EQ(reason_, row.reason);
        EXPECT_FALSE(WriteListing(row.name, {"x"}, reason_)) << row.name;
        EXPECT_EQ(reason_, row.reason);
    }
    EXPECT_EQ(ReadFile(PathOf("out.asm")), "old\r\n");
    EXPECT_EQ(Names(), (std::set<std::string>{"folder.asm", "out.asm"}));
    fs::permissions(PathOf("out.asm"), fs::perms::owner_write, fs::perm_options::add);  // so that Windows removes it
}

// Until Commit nobody sees the new listing, and a replacement given up leaves the old one and nothing else.
TEST_F(ListingFileTest, ReplacementIsSeenOnlyOnceCommitted) {
    WriteFile(PathOf("out.asm"), "old\r\n");
    for (const bool commit : {false, true}) {
        std::unique_ptr<ListingReplacement> replacement = ListingReplacement::Begin(PathOf("out.asm"), reason_);
        ASSERT_NE(replacement, nullptr) << reason_;
        // Small and large pieces, as a caller may mix them, arrive in their order.
        for (const std::string& piece : {std::string("a"), std::string(1 << 20, 'b'), std::string("cccc")}) {
            ASSERT_TRUE(replacement->Write(piece, reason_)) << reason_;
        }
        EXPECT_EQ(ReadFile(PathOf("out.asm")), "old\r\n");
#ifdef __linux__
        EXPECT_EQ(Names(), std::set<std::string>{"out.asm"});  // the new file has no name yet
#endif
        EXPECT_EQ(commit && replacement->Commit(reason_), commit) << reason_;
        replacement.reset();
        EXPECT_EQ(ReadFile(PathOf("out.asm")), commit ? "a" + std::string(1 << 20, 'b') + "cccc" : "old\r\n");
        EXPECT_EQ(Names(), std::set<std::string>{"out.asm"});
    }
}

#ifndef _WIN32

TEST_F(ListingFileTest, PermissionBitsAreKeptOrTakenFromTheMask) {
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read;
    WriteFile(PathOf("old.asm"), "old\r\n");
    fs::permissions(PathOf("old.asm"), mode);
    const mode_t oldMask = ::umask(027);
    const std::string longest = std::string(251, 'n') + ".asm";  // the longest name that the file system takes
    const bool written =
        WriteListing(PathOf("old.asm"), {"x"}, reason_) && WriteListing(PathOf(longest.c_str()), {"x"}, reason_);
    ::umask(oldMask);
    ASSERT_TRUE(written) << reason_;
    EXPECT_EQ(fs::status(PathOf("old.asm")).permissions(), mode);
    EXPECT_EQ(fs::status(PathOf(longest.c_str())).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// A write that the system stops half way (the file size limit here, a full disk in the field) keeps the old
// listing: a renamed replacement never takes its place, even when the rest of the listing could be written, and
// one written in place, which fails when it is committed, puts the old content back.
TEST_F(ListingFileTest, WriteStoppedHalfWayKeepsTheOldListing) {
    WriteFile(PathOf("out.asm"), "old\r\n");
    rlimit oldLimit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    rlimit smallLimit = oldLimit;
    smallLimit.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    for (const std::string expected : {"file too large.", "file too large; the old listing was put back."}) {
        if (expected != "file too large.") {
            fs::create_hard_link(PathOf("out.asm"), PathOf("other.asm"));
        }
        std::string pending;
        ListingFileSink sink(PathOf("out.asm"), pending);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &smallLimit), 0);
        for (int line = 0; line < 20'000; ++line) {
            sink.Write(std::string(100, 'x'));
        }
        if (expected == "file too large.") {
            ::setrlimit(RLIMIT_FSIZE, &oldLimit);
        }
        sink.Write("the last line");
        const bool written = sink.Commit(reason_);
        ::setrlimit(RLIMIT_FSIZE, &oldLimit);
        EXPECT_FALSE(written);
        EXPECT_EQ(reason_, expected);
        EXPECT_EQ(ReadFile(PathOf("out.asm")), "old\r\n");
    }
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(Names(), (std::set<std::string>{"other.asm", "out.asm"}));
}

// What a plain overwrite keeps, a replacement keeps: the file's other names, its owner, group and permissions, its
// extended attributes and access control list; as an administrator, and as a user who may write the file but
// not its folder, or may write a file of someone else.
TEST_F(ListingFileTest, ReplacementKeepsWhatAnOverwriteKeeps) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root, to give files to nobody and to act as nobody";
    }
    constexpr uid_t kNobody = 65534;
    // 0600 for root, with an entry that lets nobody read and write: user::rw- user:nobody:rw- group::--- mask::rw-
    const std::uint32_t kAccessList[] = {2,          0x60001, 0xFFFFFFFF, 0x60002, kNobody,   0x00004,
                                         0xFFFFFFFF, 0x60010, 0xFFFFFFFF, 0x00020, 0xFFFFFFFF};
    fs::create_directory(PathOf("shared"));
    fs::permissions(PathOf("shared"), fs::perms::all | fs::perms::sticky_bit);
    const struct {
        const char* name;
        bool asNobody;
        std::function<void(const fs::path&)> prepare;
    } rows[] = {
        {"linked.asm", false, [&](const fs::path& file) { fs::create_hard_link(file, PathOf("other.asm")); }},
        {"attributed.asm", false,
         [&](const fs::path& file) {
             ASSERT_EQ(::chown(file.c_str(), kNobody, kNobody), 0);
             ASSERT_EQ(::setxattr(file.c_str(), "system.posix_acl_access", kAccessList, sizeof kAccessList, 0), 0);
             ASSERT_EQ(::setxattr(file.c_str(), "user.veltrin", "kept", 4, 0), 0);
         }},
        {"nobodys.asm", true, [&](const fs::path& file) { ASSERT_EQ(::chown(file.c_str(), kNobody, kNobody), 0); }},
        {"shared/roots.asm", true, [&](const fs::path& file) { fs::permissions(file, fs::perms::all); }},
    };
    for (const auto& row : rows) {
        const fs::path file = PathOf(row.name);
        WriteFile(file, "old\r\n");
        row.prepare(file);
        const std::string before = FactsOf(file);
        const auto write = [&] { return WriteListing(file, {"new"}, reason_); };
        EXPECT_TRUE(row.asNobody ? AsNobody(write) : write()) << row.name << ": " << reason_;
        EXPECT_EQ(ReadFile(file), "new\r\n") << row.name;
        EXPECT_EQ(FactsOf(file), before) << row.name;
    }
    EXPECT_EQ(ReadFile(PathOf("other.asm")), "new\r\n");
    // Where no file may be created, a new listing is refused before anything is generated.
    EXPECT_FALSE(AsNobody([&] { return CheckListingTarget(PathOf("new.asm"), reason_); }));
}

// A link is followed only where the system itself would follow it: in a folder that every user may write and
// that has the sticky bit, a link of the user's or of the folder's owner.
TEST_F(ListingFileTest, LinkInASharedFolderIsFollowedOnlyIfItsOwnerIsTrusted) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root, to give links and folders to nobody";
    }
    constexpr uid_t kNobody = 65534;
    WriteFile(PathOf("target.asm"), "old\r\n");
    const struct {
        fs::perms folderMode;
        uid_t folderOwner;
        uid_t linkOwner;
        bool followed;
    } rows[] = {
        {fs::perms::all | fs::perms::sticky_bit, 0, kNobody, false},
        {fs::perms::all | fs::perms::sticky_bit, 0, 0, true},
        {fs::perms::all | fs::perms::sticky_bit, kNobody, kNobody, true},
        {fs::perms::all, 0, kNobody, true},
    };
    for (const auto& row : rows) {
        fs::remove_all(PathOf("folder"));
        fs::create_directory(PathOf("folder"));
        fs::permissions(PathOf("folder"), row.folderMode);
        ASSERT_EQ(::chown(PathOf("folder").c_str(), row.folderOwner, row.folderOwner), 0);
        fs::create_symlink("../target.asm", PathOf("folder") / "link.asm");
        ASSERT_EQ(::lchown((PathOf("folder") / "link.asm").c_str(), row.linkOwner, row.linkOwner), 0);
        EXPECT_EQ(WriteListing(PathOf("folder") / "link.asm", {"new"}, reason_), row.followed) << reason_;
        EXPECT_EQ(ReadFile(PathOf("target.asm")), row.followed ? "new\r\n" : "old\r\n");
        EXPECT_TRUE(fs::is_symlink(PathOf("folder") / "link.asm"));  // written through, not replaced
        EXPECT_EQ(reason_.ends_with("so it is not followed."), !row.followed) << reason_;
        WriteFile(PathOf("target.asm"), "old\r\n");
    }
}

#endif

}  // namespace
}  // namespace veltrin
