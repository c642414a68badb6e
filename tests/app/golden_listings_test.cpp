// The three +2 listings derived from the sample must equal, byte for byte, the reviewed listings in tests/data.
// `make golden` rewrites those from the current code, so that a deliberate change shows in review as a diff.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/create_command.h"
#include "support/recording_view.h"
#include "support/test_folder.h"

namespace veltrin {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::RecordingView;
using testing_support::TestFolder;

struct GoldenListing {
    const char* model;
    FileBox box;
    const char* fileName;
};

constexpr GoldenListing kGoldenListings[] = {
    {"English", FileBox::kPlus2Rom, "Spectrum+2_ROM0.asm"},
    {"Spanish", FileBox::kSpanishPlus2Rom, "Spectrum+2_Spanish_ROM0.asm"},
    {"French", FileBox::kFrenchPlus2Rom, "Spectrum+2_French_ROM0.asm"},
};

// The lines of a listing with their terminators, so that a wrong line end shows as a difference too.
std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size() - 1);
        lines.push_back(bytes.substr(start, end + 1 - start));
        start = end + 1;
    }
    return lines;
}

// Where a derived listing first leaves the reviewed one: the line number and both lines.
std::string FirstDifference(const std::string& expected, const std::string& derived) {
    const std::vector<std::string> expectedLines = Lines(expected);
    const std::vector<std::string> derivedLines = Lines(derived);
    std::size_t line = 0;
    while (line < expectedLines.size() && line < derivedLines.size() && expectedLines[line] == derivedLines[line]) {
        ++line;
    }
    const auto shown = [line](const std::vector<std::string>& lines) {
        return line < lines.size() ? testing::PrintToString(lines[line]) : std::string("(end of listing)");
    };
    std::ostringstream difference;
    difference << "line " << line + 1 << "\n  expected: " << shown(expectedLines)
               << "\n  derived:  " << shown(derivedLines);
    return difference.str();
}

TEST(GoldenListings, TheSampleGivesTheReviewedListings) {
    const TestFolder folder;
    RecordingView view;
    view.names[FileBox::k128Rom] = VELTRIN_SAMPLE_LISTING;
    for (const GoldenListing& golden : kGoldenListings) {
        view.names[golden.box] = (folder / golden.fileName).string();
    }
    ASSERT_EQ(CreateCommand(view).Run(), RunOutcome::kDone) << testing::PrintToString(view.messages);

    for (const GoldenListing& golden : kGoldenListings) {
        const std::string expected = ReadFile(fs::path(VELTRIN_TEST_DATA) / golden.fileName);
        const std::string derived = ReadFile(folder / golden.fileName);
        ASSERT_FALSE(expected.empty()) << "no golden " << golden.model << " listing in " VELTRIN_TEST_DATA;
        EXPECT_TRUE(derived == expected) << golden.model << " listing differs from its golden one at "
                                         << FirstDifference(expected, derived);
    }
}

}  // namespace
}  // namespace veltrin
