// The three +2 listings derived from the sample must equal, byte for byte, the reviewed listings in tests/data.
// `make golden` rewrites those from the current code, so that a deliberate change shows in review as a diff.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "commands/create_command.h"
#include "commands/listing_difference.h"
#include "support/recording_view.h"
#include "support/test_folder.h"

namespace veltrin {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;

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

TEST(GoldenListings, TheSampleGivesTheReviewedListings) {
    const testing_support::TestFolder folder;
    testing_support::RecordingView view;
    view.names[FileBox::k128Rom] = VELTRIN_SAMPLE_LISTING;
    for (const GoldenListing& golden : kGoldenListings) {
        view.names[golden.box] = (folder / golden.fileName).string();
    }
    ASSERT_EQ(CreateCommand(view).Run(), RunOutcome::kDone) << testing::PrintToString(view.messages);

    for (const GoldenListing& golden : kGoldenListings) {
        const std::string expected = ReadFile(fs::path(VELTRIN_TEST_DATA) / golden.fileName);
        const std::string derived = ReadFile(folder / golden.fileName);
        if (const std::optional<ListingDifference> difference = FindListingDifference(expected, derived)) {
            ADD_FAILURE() << golden.model << " listing differs from its golden one from line " << difference->firstLine
                          << "\n  expected: " << difference->expected << "\n  derived:  " << difference->found;
        }
    }
}

}  // namespace
}  // namespace veltrin
