#include "generators/closing_passes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <stop_token>
#include <string>
#include <utility>
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

// The English listing of the sample with the given lines after its own.
struct SampleListing : LineSink {
    explicit SampleListing(std::stop_token stop = {}, const std::string& moreLines = "") {
        const SourceLines source = testing_support::SourceLinesOf(ReadFile(VELTRIN_SAMPLE_LISTING) + moreLines);
        failure = kEnglishPlus2.CreateListing(source, *this, std::move(stop));
    }
    void Write(std::string_view line) override { lines.emplace_back(line); }

    std::vector<std::string> lines;
    std::optional<ScriptFailure> failure;
};

// The lone ";" lines that end the script's part of a listing, held back in case a note took one away, still
// come before the differences block, which opens with the rule above its "Sound Socket" heading.
TEST(ClosingPasses, ComeAfterTheLastLinesOfTheScript) {
    const SampleListing listing({}, "; Last note.\r\n;\r\n;\r\n");
    ASSERT_FALSE(listing.failure);
    const auto block = std::ranges::find(listing.lines, "; Sound Socket") - 1;
    ASSERT_GT(block - listing.lines.begin(), 3);
    EXPECT_EQ(std::vector<std::string>(block - 3, block), std::vector<std::string>({"; Last note.", ";", ";"}));
}

// A derivation asked to stop ends at the next block that it finds, with no message of the script's own.
TEST(ListingScript, StopsAtTheNextBlockWhenAsked) {
    std::stop_source stop;
    stop.request_stop();
    const SampleListing listing(stop.get_token());
    ASSERT_TRUE(listing.failure);
    EXPECT_EQ(listing.failure->failedStep, "");
    EXPECT_EQ(std::ranges::count(listing.lines, "; Sound Socket"), 0);
}

}  // namespace
}  // namespace veltrin
