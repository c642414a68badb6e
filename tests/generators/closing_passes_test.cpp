#include "generators/closing_passes.h"

#include <gtest/gtest.h>

#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "generators/plus2_models.h"
#include "support/data_table.h"
#include "support/file_edits.h"
#include "support/source_bytes.h"

namespace veltrin {
namespace {

using testing_support::ReadFile;

TEST(UpdateTapeLoaderMessage, PutsTheInsertTapeSentenceInFrontOfTheFirstCancelMessageOnly) {
    std::string scratch;
    for (const std::vector<std::string>& row : testing_support::ReadDataTable("tape_messages.txt")) {
        EXPECT_EQ(UpdateTapeLoaderMessage(row.at(0), scratch), row.at(1));
    }
}

TEST(RelocateRom0References, RewritesOnlyMarkedAddressesInComments) {
    std::string scratch;
    for (const std::vector<std::string>& row : testing_support::ReadDataTable("rom0_references.txt")) {
        EXPECT_EQ(RelocateRom0References(row.at(1), testing_support::ModelNamed(row.at(0)), scratch), row.at(2))
            << row[0] << ": " << row[1];
    }
}

// A derivation asked to stop ends at the next block that it finds, with no message of the script's own.
TEST(ListingScript, StopsAtTheNextBlockWhenAsked) {
    struct : LineSink {
        void Write(std::string_view line) override { closingBlock += line == "; Sound Socket"; }
        int closingBlock = 0;
    } listing;
    std::stop_source stop;
    stop.request_stop();
    const std::optional<ScriptFailure> failure = kEnglishPlus2.CreateListing(
        testing_support::SourceLinesOf(ReadFile(VELTRIN_SAMPLE_LISTING)), listing, stop.get_token());
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->failedStep, "");
    EXPECT_EQ(listing.closingBlock, 0);
}

}  // namespace
}  // namespace veltrin
