#include "app/listing_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#endif

namespace veltrin {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

// A fresh, empty folder for each test, removed again afterwards.
class ListingFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("veltrin_listing_") + info->test_suite_name() + "_" + info->name() + "_" +
                           std::to_string(std::random_device{}());
        std::replace(name.begin(), name.end(), '/', '_');
        folder_ = fs::temp_directory_path() / name;
        fs::remove_all(folder_);
        ASSERT_TRUE(fs::create_directory(folder_));
    }

    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    fs::path PathOf(const std::string& name) const { return folder_ / name; }

    static void WriteBytes(const fs::path& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        ASSERT_TRUE(out.is_open()) << path;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        ASSERT_TRUE(out.good()) << path;
    }

    static std::string ReadBytes(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        EXPECT_TRUE(in.is_open()) << path;
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // The names in a folder, so that a test can see that no temporary file was left behind.
    static std::set<std::string> NamesIn(const fs::path& folder) {
        std::set<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    fs::path folder_;
};

// A path's name as UTF-8 bytes, in the form the window shows and the tests compare.
std::string Utf8Of(const fs::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

// Every byte value except CR, which always ends a line.
std::string AllBytesButCarriageReturn() {
    std::string bytes;
    for (int value = 0; value < 256; ++value) {
        if (value != 13) {
            bytes += static_cast<char>(value);
        }
    }
    return bytes;
}

// ---------------------------------------------------------------------------------------------------------------
// Reading: how the bytes of a file become lines.

struct LineCase {
    const char* name;
    std::string bytes;
    SourceLines expected;
};

void PrintTo(const LineCase& lineCase, std::ostream* os) { *os << lineCase.name; }

class LoadListingLinesTest : public ListingFolderTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LoadListingLinesTest, SplitsTheFileIntoTheExpectedLines) {
    const fs::path file = PathOf("source.asm");
    WriteBytes(file, GetParam().bytes);
    SourceLines lines;
    ASSERT_TRUE(LoadListing(file, lines));
    EXPECT_EQ(lines, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    LineTerminators, LoadListingLinesTest,
    ::testing::Values(
        LineCase{"CrLfAfterEveryLine",
                 "; a\r\nL0000:  DI\r\n        LD A,$00\r\n",
                 {"", "; a", "L0000:  DI", "        LD A,$00"}},
        LineCase{"CrLfWithoutFinalTerminator",
                 "; a\r\nL0000:  DI\r\n        LD A,$00",
                 {"", "; a", "L0000:  DI", "        LD A,$00"}},
        LineCase{"BareCrAfterEveryLine", "one\rtwo\rthree\r", {"", "one", "two", "three"}},
        LineCase{"BareCrWithoutFinalTerminator", "one\rtwo\rthree", {"", "one", "two", "three"}},
        LineCase{"CrAndCrLfMixed", "one\rtwo\r\nthree\r", {"", "one", "two", "three"}},
        LineCase{"BareLfBelongsToTheLine", "one\ntwo\nthree\n", {"", "one\ntwo\nthree\n"}},
        LineCase{"LfBeforeCrBelongsToTheLine", "one\n\rtwo", {"", "one\n", "two"}},
        LineCase{"OnlyOneLfJoinsTheCr", "one\r\n\ntwo", {"", "one", "\ntwo"}},
        LineCase{"TwoCrLfInARowGiveAnEmptyLine", "one\r\n\r\ntwo\r\n", {"", "one", "", "two"}},
        LineCase{"TwoCrInARowGiveAnEmptyLine", "one\r\rtwo", {"", "one", "", "two"}},
        LineCase{"EmptyLineAtTheEnd", "one\r\n\r\n", {"", "one", ""}},
        LineCase{"EmptyLineAtTheStart", "\r\none", {"", "", "one"}}, LineCase{"OnlyACrLf", "\r\n", {"", ""}},
        LineCase{"OnlyACr", "\r", {"", ""}}, LineCase{"OnlyALf", "\n", {"", "\n"}},
        LineCase{"OneLineWithoutTerminator", "x", {"", "x"}},
        LineCase{
            "SpacesAndTabsKept", "  \tL0561:  DEFB $7F ; (c)\t \r\n \r\n", {"", "  \tL0561:  DEFB $7F ; (c)\t ", " "}},
        LineCase{"NulBytesKept", std::string("a\0b\r\n\0\r\n", 8), {"", std::string("a\0b", 3), std::string(1, '\0')}},
        LineCase{"HighBytesKept", "\x80\xA9\xFF\r\n\xE9t\xE9", {"", "\x80\xA9\xFF", "\xE9t\xE9"}},
        LineCase{"EmptyFileHasNoElements", "", {}}),
    [](const ::testing::TestParamInfo<LineCase>& paramInfo) { return std::string(paramInfo.param.name); });

using LoadListingTest = ListingFolderTest;

TEST_F(LoadListingTest, EveryByteValueButCrPassesUnchanged) {
    const std::string bytes = AllBytesButCarriageReturn();
    const fs::path file = PathOf("bytes.asm");
    WriteBytes(file, bytes + "\r\n" + bytes);
    SourceLines lines;
    ASSERT_TRUE(LoadListing(file, lines));
    EXPECT_THAT(lines, ElementsAre("", bytes, bytes));
}

TEST_F(LoadListingTest, LargeListingKeepsEveryLine) {
    // Large enough to need more than one read, with lines of varied length and both terminators.
    SourceLines expected{""};
    std::string bytes;
    for (int line = 1; line <= 150000; ++line) {
        std::string text = "L" + std::to_string(line) + ":" + std::string(static_cast<std::size_t>(line % 37), ' ') +
                           "; x" + std::to_string(line * 7);
        bytes += text;
        bytes += line % 5 == 0 ? "\r" : "\r\n";
        expected.push_back(std::move(text));
    }
    const fs::path file = PathOf("large.asm");
    WriteBytes(file, bytes);
    SourceLines lines;
    ASSERT_TRUE(LoadListing(file, lines));
    ASSERT_EQ(lines.size(), expected.size());
    EXPECT_EQ(lines, expected);
}

TEST_F(LoadListingTest, LinesFromAnEarlierListingAreNotKept) {
    const fs::path file = PathOf("source.asm");
    WriteBytes(file, "new\r\n");
    SourceLines lines{"", "old", "older"};
    ASSERT_TRUE(LoadListing(file, lines));
    EXPECT_THAT(lines, ElementsAre("", "new"));
}

TEST_F(LoadListingTest, MissingFileFails) {
    SourceLines lines;
    EXPECT_FALSE(LoadListing(PathOf("missing.asm"), lines));
}

TEST_F(LoadListingTest, FileInMissingFolderFails) {
    SourceLines lines;
    EXPECT_FALSE(LoadListing(PathOf("missing") / "source.asm", lines));
}

TEST_F(LoadListingTest, EmptyNameFails) {
    SourceLines lines;
    EXPECT_FALSE(LoadListing(fs::path(), lines));
}

TEST_F(LoadListingTest, FolderFails) {
    SourceLines lines;
    EXPECT_FALSE(LoadListing(folder_, lines));
}

// ---------------------------------------------------------------------------------------------------------------
// Writing: the bytes of the file that a listing becomes.

struct WriteCase {
    const char* name;
    OutputLines lines;
    std::string expectedBytes;
};

void PrintTo(const WriteCase& writeCase, std::ostream* os) { *os << writeCase.name; }

class WriteListingBytesTest : public ListingFolderTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WriteListingBytesTest, WritesTheExpectedBytes) {
    const fs::path file = PathOf("output.asm");
    std::string reason;
    ASSERT_TRUE(WriteListing(file, GetParam().lines, reason)) << reason;
    EXPECT_EQ(reason, "");
    EXPECT_EQ(ReadBytes(file), GetParam().expectedBytes);
}

INSTANTIATE_TEST_SUITE_P(
    LineTerminators, WriteListingBytesTest,
    ::testing::Values(WriteCase{"EveryLineEndsWithCrLf",
                                {"", "; title", "L0000:  DI", "        RET"},
                                "; title\r\nL0000:  DI\r\n        RET\r\n"},
                      WriteCase{"EmptyLinesKept", {"", "", "one", "", ""}, "\r\none\r\n\r\n\r\n"},
                      WriteCase{"ElementZeroIsNotWritten", {"not a line", "one"}, "one\r\n"},
                      WriteCase{"BareLfWrittenAsIs", {"", "one\ntwo"}, "one\ntwo\r\n"},
                      WriteCase{"SpacesAndTabsKept", {"", "  \t x \t"}, "  \t x \t\r\n"},
                      WriteCase{
                          "NulAndHighBytesKept", {"", std::string("\0\x80\xFF", 3)}, std::string("\0\x80\xFF\r\n", 5)},
                      WriteCase{"OnlyElementZeroGivesEmptyFile", {""}, ""},
                      WriteCase{"NoElementsGiveEmptyFile", {}, ""}),
    [](const ::testing::TestParamInfo<WriteCase>& paramInfo) { return std::string(paramInfo.param.name); });

using WriteListingTest = ListingFolderTest;

TEST_F(WriteListingTest, ReadingBackGivesTheSameLines) {
    const std::string bytes = AllBytesButCarriageReturn();
    const OutputLines written{"", "; title", "", "L0561:  DEFB $7F ; (c)", "  trailing  \t", bytes, "a\nb", ""};
    const fs::path file = PathOf("round.asm");
    std::string reason;
    ASSERT_TRUE(WriteListing(file, written, reason)) << reason;
    SourceLines read;
    ASSERT_TRUE(LoadListing(file, read));
    EXPECT_EQ(read, written);
}

TEST_F(WriteListingTest, LongerOldFileLeavesNothingBehind) {
    const fs::path file = PathOf("output.asm");
    WriteBytes(file, std::string(10000, 'o') + "\r\nold line\r\n");
    std::string reason;
    ASSERT_TRUE(WriteListing(file, {"", "new"}, reason)) << reason;
    EXPECT_EQ(ReadBytes(file), "new\r\n");
}

TEST_F(WriteListingTest, OnlyTheListingIsLeftInTheFolder) {
    std::string reason;
    ASSERT_TRUE(WriteListing(PathOf("output.asm"), {"", "one"}, reason)) << reason;
    ASSERT_TRUE(WriteListing(PathOf("output.asm"), {"", "two"}, reason)) << reason;
    EXPECT_EQ(NamesIn(folder_), std::set<std::string>{"output.asm"});
}

TEST_F(WriteListingTest, NameFromUtf8TextIsCreated) {
    std::string reason;
    ASSERT_TRUE(WriteListing(folder_ / PathFromUtf8("Spectrum+2_Espa\xC3\xB1ol_ROM0.asm"), {"", "x"}, reason))
        << reason;
    EXPECT_EQ(ReadBytes(folder_ / fs::path(u8"Spectrum+2_Español_ROM0.asm")), "x\r\n");
}

// ---------------------------------------------------------------------------------------------------------------
// Writing: the cases that must fail, and what they leave.

TEST_F(WriteListingTest, MissingFolderFails) {
    const fs::path missing = PathOf("missing");
    std::string reason;
    EXPECT_FALSE(WriteListing(missing / "output.asm", {"", "one"}, reason));
    EXPECT_THAT(reason, HasSubstr("does not exist"));
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_THAT(NamesIn(folder_), IsEmpty());
}

TEST_F(WriteListingTest, EmptyNameFails) {
    std::string reason;
    EXPECT_FALSE(WriteListing(fs::path(), {"", "one"}, reason));
    EXPECT_THAT(reason, Not(IsEmpty()));
}

TEST_F(WriteListingTest, FolderAsTargetFailsAndStaysAFolder) {
    const fs::path sub = PathOf("sub");
    fs::create_directory(sub);
    std::string reason;
    EXPECT_FALSE(WriteListing(sub, {"", "one"}, reason));
    EXPECT_THAT(reason, HasSubstr("folder"));
    EXPECT_TRUE(fs::is_directory(sub));
    EXPECT_EQ(NamesIn(folder_), std::set<std::string>{"sub"});
}

TEST_F(WriteListingTest, ReasonIsClearedOnSuccess) {
    std::string reason = "from an earlier failure";
    ASSERT_TRUE(WriteListing(PathOf("output.asm"), {"", "one"}, reason));
    EXPECT_EQ(reason, "");
}

// A file that nobody may write is refused even for an administrator, who is not stopped by permission bits.
TEST_F(WriteListingTest, ReadOnlyTargetKeepsItsContent) {
    const fs::path file = PathOf("output.asm");
    WriteBytes(file, "old\r\n");
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    std::string reason;
    EXPECT_FALSE(WriteListing(file, {"", "new"}, reason));
    EXPECT_THAT(reason, HasSubstr("read-only"));
    EXPECT_EQ(ReadBytes(file), "old\r\n");
    EXPECT_EQ(NamesIn(folder_), std::set<std::string>{"output.asm"});
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
}

#ifndef _WIN32

class WritePermissionsTest : public ListingFolderTest, public ::testing::WithParamInterface<fs::perms> {};

TEST_P(WritePermissionsTest, ExistingTargetKeepsItsPermissionBits) {
    const fs::path file = PathOf("output.asm");
    WriteBytes(file, "old\r\n");
    fs::permissions(file, GetParam());
    std::string reason;
    ASSERT_TRUE(WriteListing(file, {"", "new"}, reason)) << reason;
    EXPECT_EQ(ReadBytes(file), "new\r\n");
    EXPECT_EQ(fs::status(file).permissions(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Modes, WritePermissionsTest,
                         ::testing::Values(fs::perms::owner_read | fs::perms::owner_write,
                                           fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
                                           fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                               fs::perms::group_write | fs::perms::others_read,
                                           fs::perms::owner_read | fs::perms::group_write),
                         [](const ::testing::TestParamInfo<fs::perms>& paramInfo) {
                             std::ostringstream name;
                             name << "Mode" << std::oct << static_cast<unsigned>(paramInfo.param);
                             return name.str();
                         });

// A new file gets what any newly created file gets: read and write for all, less the process's mask.
TEST_F(WriteListingTest, NewFileGetsTheUsualPermissions) {
    const mode_t oldMask = ::umask(027);
    std::string reason;
    const bool written = WriteListing(PathOf("output.asm"), {"", "one"}, reason);
    ::umask(oldMask);
    ASSERT_TRUE(written) << reason;
    EXPECT_EQ(fs::status(PathOf("output.asm")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// A write that the system stops half way (the file size limit here, a full disk in the field) must leave the
// old listing whole and no partial file behind.
TEST_F(WriteListingTest, WriteStoppedHalfWayKeepsTheOldListing) {
    const fs::path file = PathOf("output.asm");
    WriteBytes(file, "old\r\n");
    const OutputLines big(2000, std::string(100, 'x'));

    rlimit oldLimit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    rlimit smallLimit = oldLimit;
    smallLimit.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &smallLimit), 0);
    std::string reason;
    const bool written = WriteListing(file, big, reason);
    ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_THAT(reason, HasSubstr("Cannot write"));
    EXPECT_EQ(ReadBytes(file), "old\r\n");
    EXPECT_EQ(NamesIn(folder_), std::set<std::string>{"output.asm"});
}

#endif

// ---------------------------------------------------------------------------------------------------------------
// Writing through symbolic links: the file the link names gets the listing, and the link stays a link.

class WriteThroughLinkTest : public ListingFolderTest {
  protected:
    // False when this system does not let the test create links (Windows without the right privilege).
    static bool MakeLink(const fs::path& target, const fs::path& link) {
        std::error_code error;
        fs::create_symlink(target, link, error);
        return !error;
    }
};

TEST_F(WriteThroughLinkTest, LinkedFileGetsTheListing) {
    WriteBytes(PathOf("real.asm"), "old old old\r\n");
    if (!MakeLink("real.asm", PathOf("link.asm"))) {
        GTEST_SKIP() << "symbolic links are not available";
    }
    std::string reason;
    ASSERT_TRUE(WriteListing(PathOf("link.asm"), {"", "new"}, reason)) << reason;
    EXPECT_TRUE(fs::is_symlink(PathOf("link.asm")));
    EXPECT_EQ(fs::read_symlink(PathOf("link.asm")), fs::path("real.asm"));
    EXPECT_EQ(ReadBytes(PathOf("real.asm")), "new\r\n");
    EXPECT_EQ(NamesIn(folder_), (std::set<std::string>{"link.asm", "real.asm"}));
}

TEST_F(WriteThroughLinkTest, LinkToMissingFileCreatesThatFile) {
    if (!MakeLink("real.asm", PathOf("link.asm"))) {
        GTEST_SKIP() << "symbolic links are not available";
    }
    std::string reason;
    ASSERT_TRUE(WriteListing(PathOf("link.asm"), {"", "new"}, reason)) << reason;
    EXPECT_TRUE(fs::is_symlink(PathOf("link.asm")));
    EXPECT_EQ(ReadBytes(PathOf("real.asm")), "new\r\n");
    EXPECT_EQ(NamesIn(folder_), (std::set<std::string>{"link.asm", "real.asm"}));
}

TEST_F(WriteThroughLinkTest, ChainOfLinksIntoAnotherFolderReachesTheLastFile) {
    fs::create_directory(PathOf("data"));
    WriteBytes(PathOf("data") / "real.asm", "old\r\n");
    if (!MakeLink("real.asm", PathOf("data") / "inner.asm") ||
        !MakeLink(fs::path("data") / "inner.asm", PathOf("outer.asm"))) {
        GTEST_SKIP() << "symbolic links are not available";
    }
    std::string reason;
    ASSERT_TRUE(WriteListing(PathOf("outer.asm"), {"", "new"}, reason)) << reason;
    EXPECT_TRUE(fs::is_symlink(PathOf("outer.asm")));
    EXPECT_TRUE(fs::is_symlink(PathOf("data") / "inner.asm"));
    EXPECT_EQ(ReadBytes(PathOf("data") / "real.asm"), "new\r\n");
    EXPECT_EQ(NamesIn(folder_), (std::set<std::string>{"data", "outer.asm"}));
    EXPECT_EQ(NamesIn(PathOf("data")), (std::set<std::string>{"inner.asm", "real.asm"}));
}

TEST_F(WriteThroughLinkTest, LinkToReadOnlyFileIsRefused) {
    WriteBytes(PathOf("real.asm"), "old\r\n");
    fs::permissions(PathOf("real.asm"), fs::perms::owner_read | fs::perms::group_read);
    if (!MakeLink("real.asm", PathOf("link.asm"))) {
        GTEST_SKIP() << "symbolic links are not available";
    }
    std::string reason;
    EXPECT_FALSE(WriteListing(PathOf("link.asm"), {"", "new"}, reason));
    EXPECT_THAT(reason, HasSubstr("read-only"));
    EXPECT_TRUE(fs::is_symlink(PathOf("link.asm")));
    EXPECT_EQ(ReadBytes(PathOf("real.asm")), "old\r\n");
    EXPECT_EQ(NamesIn(folder_), (std::set<std::string>{"link.asm", "real.asm"}));
    fs::permissions(PathOf("real.asm"), fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(WriteThroughLinkTest, LinkThatNamesItselfFails) {
    if (!MakeLink("loop.asm", PathOf("loop.asm"))) {
        GTEST_SKIP() << "symbolic links are not available";
    }
    std::string reason;
    EXPECT_FALSE(WriteListing(PathOf("loop.asm"), {"", "new"}, reason));
    EXPECT_THAT(reason, Not(IsEmpty()));
    EXPECT_TRUE(fs::is_symlink(PathOf("loop.asm")));
}

// ---------------------------------------------------------------------------------------------------------------
// File names typed as UTF-8 text.

TEST(PathFromUtf8Test, KeepsNonAsciiCharacters) {
    EXPECT_EQ(Utf8Of(PathFromUtf8("Spectrum+2_Espa\xC3\xB1ol_ROM0.asm")), "Spectrum+2_Espa\xC3\xB1ol_ROM0.asm");
    EXPECT_EQ(PathFromUtf8("Spectrum+2_Espa\xC3\xB1ol_ROM0.asm"), fs::path(u8"Spectrum+2_Español_ROM0.asm"));
}

TEST(PathFromUtf8Test, SeparatesFolderAndFileName) {
    const fs::path path = PathFromUtf8(
        "listings/Fran\xC3\xA7"
        "ais.asm");
    EXPECT_EQ(path.filename(), fs::path(u8"Français.asm"));
    EXPECT_EQ(path.parent_path(), fs::path(u8"listings"));
}

TEST(PathFromUtf8Test, EmptyTextGivesEmptyPath) { EXPECT_TRUE(PathFromUtf8("").empty()); }

}  // namespace
}  // namespace veltrin
