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

// Each golden listing goes by its model's default name.
TEST(GoldenListings, TheSampleGivesTheReviewedListings) {
    const testing_support::TestFolder folder;
    testing_support::RecordingView view;
    view.sourceName = VELTRIN_SAMPLE_LISTING;
    for (const Plus2Model* model : kPlus2Models) {
        view.listingNames[model->language] = (folder / model->defaultFileName).string();
    }
    ASSERT_EQ(CreateCommand(view).Run(), RunOutcome::kDone) << testing::PrintToString(view.messages);

    for (const Plus2Model* model : kPlus2Models) {
        const std::string expected = ReadFile(fs::path(VELTRIN_TEST_DATA) / model->defaultFileName);
        const std::string derived = ReadFile(folder / model->defaultFileName);
        if (const std::optional<ListingDifference> difference = FindListingDifference(expected, derived)) {
            ADD_FAILURE() << model->name << " listing differs from its golden one from line " << difference->firstLine
                          << "\n  expected: " << difference->expected << "\n  derived:  " << difference->found;
        }
    }
}

}  // namespace
}  // namespace veltrin
