// The three +2 listings derived from the sample must equal, byte for byte, the reviewed listings in tests/data: a
// check of them finds them up to date. `make golden` rewrites them from the current code, so that a deliberate
// change shows in review as a diff.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "commands/check_command.h"
#include "support/recording_view.h"

namespace veltrin {
namespace {

// Each golden listing goes by its model's default name.
TEST(GoldenListings, TheSampleGivesTheReviewedListings) {
    testing_support::RecordingView view;
    view.sourceName = VELTRIN_SAMPLE_LISTING;
    for (const Plus2Model* model : kPlus2Models) {
        view.listingNames[model->language] = VELTRIN_TEST_DATA "/" + std::string(model->defaultFileName);
    }
    std::ostringstream report;
    EXPECT_EQ(CheckListings(view, report, {.problemsOnly = true, .diffs = true}), CheckOutcome::kUpToDate)
        << report.str() << testing::PrintToString(view.messages);
}

}  // namespace
}  // namespace veltrin
