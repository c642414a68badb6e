#include "app/listing_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <system_error>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#endif

namespace veltrin {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// A fresh, empty folder for each test, removed again afterwards.
class ListingFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("veltrin_listing_" + std::to_string(std::random_device{}()));
        ASSERT_TRUE(fs::create_directory(folder_));
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    fs::path PathOf(const char* name) const { return folder_ / name; }

    static void WriteBytes(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    static std::string ReadBytes(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // The names in the folder, so that a test can see that no temporary file was left behind.
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder_)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    fs::path folder_;
    std::string reason_;
};

TEST_F(ListingFileTest, ReadingCutsTheBytesIntoLines) {
    const struct {
        std::string bytes;
        SourceLines expected;
    } rows[] = {
        {"; a\r\nL0000:  DI\r\n", {"", "; a", "L0000:  DI"}},  // CR LF after every line
        {"one\rtwo\r", {"", "one", "two"}},                    // CR alone
        {"one\rtwo\r\nthree", {"", "one", "two", "three"}},    // mixed, no final terminator
        {"one\ntwo\n\rx", {"", "one\ntwo\n", "x"}},            // a bare LF belongs to the line
        {"one\r\n\ntwo", {"", "one", "\ntwo"}},                // only one LF joins the CR
        {"one\r\n\r\ntwo\r\r", {"", "one", "", "two", ""}},    // two terminators in a row
        {"\r\n", {"", ""}},
        {"", {}},  // an empty file has no elements, not even element 0
        {std::string("a\0\x80\xFF\r\n\xE9", 7), {"", ListingLine("a\0\x80\xFF", 4), "\xE9"}},
    };
    for (const auto& row : rows) {
        WriteBytes(PathOf("in.asm"), row.bytes);
        SourceLines lines{"", "old"};
        ASSERT_TRUE(LoadListing(PathOf("in.asm"), lines));
        EXPECT_EQ(lines, row.expected) << ::testing::PrintToString(row.bytes);
    }
    SourceLines lines;
    EXPECT_FALSE(LoadListing(PathOf("missing.asm"), lines));
    EXPECT_FALSE(LoadListing(fs::path(), lines));
}

// Each listing is shorter than the file it replaces, the first one much shorter: nothing old may be left.
TEST_F(ListingFileTest, WritingEndsEveryLineWithCrLfAndSkipsElementZero) {
    WriteBytes(PathOf("out.asm"), std::string(10000, 'o') + "\r\nold line\r\n");
    reason_ = "from an earlier failure";
    const struct {
        OutputLines lines;
        std::string bytes;
    } rows[] = {
        {{"not a line", "; title", "", "  RET \t"}, "; title\r\n\r\n  RET \t\r\n"},
        {{"", ListingLine("\0\x80\n", 3)}, std::string("\0\x80\n\r\n", 5)},
        {{""}, ""},
        {{}, ""},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(WriteListing(PathOf("out.asm"), row.lines, reason_)) << reason_;
        EXPECT_EQ(ReadBytes(PathOf("out.asm")), row.bytes);
        EXPECT_EQ(reason_, "");
    }
    EXPECT_EQ(Names(), std::set<std::string>{"out.asm"});
}

TEST_F(ListingFileTest, WhatIsWrittenReadsBackTheSame) {
    std::string everyByte;
    for (int value = 0; value < 256; ++value) {
        everyByte += value == '\r' ? ' ' : static_cast<char>(value);
    }
    const OutputLines written{"", "; title", "", "L0561:  DEFB $7F ; (c)", ListingLine(everyByte), "a\nb", ""};
    ASSERT_TRUE(WriteListing(PathOf("out.asm"), written, reason_)) << reason_;
    SourceLines read;
    ASSERT_TRUE(LoadListing(PathOf("out.asm"), read));
    EXPECT_EQ(read, written);
}

// A listing of several megabytes goes out in pieces; every line, the longest included, must arrive once and whole.
TEST_F(ListingFileTest, LongListingIsWrittenWhole) {
    OutputLines written{""};
    std::string expected;
    for (int line = 0; line < 120000; ++line) {
        written.emplace_back("        DEFB $" + std::to_string(line) +
                             std::string(static_cast<std::size_t>(line % 37), ' '));
        if (line == 60000) {
            written.emplace_back(3 << 20, 'x');
        }
    }
    for (std::size_t index = 1; index < written.size(); ++index) {
        expected += written[index] + "\r\n";
    }
    ASSERT_TRUE(WriteListing(PathOf("out.asm"), written, reason_)) << reason_;
    EXPECT_TRUE(ReadBytes(PathOf("out.asm")) == expected);
    SourceLines read;
    ASSERT_TRUE(LoadListing(PathOf("out.asm"), read));
    EXPECT_TRUE(read == written);
}

TEST_F(ListingFileTest, FailuresLeaveTheOldFileAndNoTemporary) {
    EXPECT_FALSE(WriteListing(PathOf("missing") / "out.asm", {"", "x"}, reason_));
    EXPECT_THAT(reason_, HasSubstr("does not exist"));
    EXPECT_FALSE(WriteListing(fs::path(), {"", "x"}, reason_));
    EXPECT_NE(reason_, "");
    // A file that nobody may write is refused even for an administrator.
    WriteBytes(PathOf("out.asm"), "old\r\n");
    fs::permissions(PathOf("out.asm"), fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(WriteListing(PathOf("out.asm"), {"", "new"}, reason_));
    EXPECT_THAT(reason_, HasSubstr("read-only"));
    EXPECT_EQ(ReadBytes(PathOf("out.asm")), "old\r\n");
    EXPECT_EQ(Names(), std::set<std::string>{"out.asm"});
}

#ifndef _WIN32

TEST_F(ListingFileTest, PermissionBitsAreKeptOrTakenFromTheMask) {
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read;
    WriteBytes(PathOf("old.asm"), "old\r\n");
    fs::permissions(PathOf("old.asm"), mode);
    const mode_t oldMask = ::umask(027);
    const bool written =
        WriteListing(PathOf("old.asm"), {"", "x"}, reason_) && WriteListing(PathOf("new.asm"), {"", "x"}, reason_);
    ::umask(oldMask);
    ASSERT_TRUE(written) << reason_;
    EXPECT_EQ(fs::status(PathOf("old.asm")).permissions(), mode);
    EXPECT_EQ(fs::status(PathOf("new.asm")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(ListingFileTest, LinkIsWrittenThroughAndStaysALink) {
    WriteBytes(PathOf("real.asm"), "old old old\r\n");
    fs::create_symlink("real.asm", PathOf("link.asm"));
    ASSERT_TRUE(WriteListing(PathOf("link.asm"), {"", "new"}, reason_)) << reason_;
    EXPECT_EQ(fs::read_symlink(PathOf("link.asm")), fs::path("real.asm"));
    EXPECT_EQ(ReadBytes(PathOf("real.asm")), "new\r\n");
    EXPECT_EQ(Names(), (std::set<std::string>{"link.asm", "real.asm"}));
}

// A write that the system stops half way (the file size limit here, a full disk in the field) keeps the old file.
TEST_F(ListingFileTest, WriteStoppedHalfWayKeepsTheOldListing) {
    WriteBytes(PathOf("out.asm"), "old\r\n");
    rlimit oldLimit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    rlimit smallLimit = oldLimit;
    smallLimit.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &smallLimit), 0);
    const bool written = WriteListing(PathOf("out.asm"), OutputLines(200, ListingLine(100, 'x')), reason_);
    ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_THAT(reason_, HasSubstr("Cannot write"));
    EXPECT_EQ(ReadBytes(PathOf("out.asm")), "old\r\n");
    EXPECT_EQ(Names(), std::set<std::string>{"out.asm"});
}

#endif

}  // namespace
}  // namespace veltrin
