// The three +2 listings derived from the sample must equal, byte for byte, the reviewed listings in tests/data.
// `make golden` rewrites those from the current code, so that a deliberate change shows in review as a diff.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

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

// Where a derived listing first leaves the reviewed one: the line number and both lines, terminators included.
std::string FirstDifference(const std::string& expected, const std::string& derived) {
    std::size_t line = 1;
    std::size_t start = 0;
    for (std::size_t at = 0; at < std::min(expected.size(), derived.size()) && expected[at] == derived[at]; ++at) {
        if (expected[at] == '\n') {
            ++line;
            start = at + 1;
        }
    }
    const auto shown = [start](const std::string& listing) {
        return testing::PrintToString(listing.substr(start, listing.find('\n', start) + 1 - start));
    };
    return "line " + std::to_string(line) + "\n  expected: " + shown(expected) + "\n  derived:  " + shown(derived);
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
