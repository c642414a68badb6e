#include "generators/closing_passes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "generators/plus2_models.h"
#include "support/data_table.h"
#include "support/source_bytes.h"

namespace veltrin {
namespace {

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

// The lone ";" lines that end the script's part of a listing, held back in case a note took one away, still
// come before the differences block.
TEST(ClosingPasses, ComeAfterTheLastLinesOfTheScript) {
    std::ifstream in(VELTRIN_SAMPLE_LISTING, std::ios::binary);
    const SourceLines source = testing_support::SourceLinesOf(std::string(std::istreambuf_iterator<char>(in), {}) +
                                                              "; Last note.\r\n;\r\n;\r\n");
    struct : LineSink {
        void Write(std::string_view line) override { lines.emplace_back(line); }
        std::vector<std::string> lines;
    } listing;
    ASSERT_FALSE(kEnglishPlus2.CreateListing(source, listing, {}));
    // The block opens with the rule above its "Sound Socket" heading.
    const auto block = std::ranges::find(listing.lines, "; Sound Socket") - 1;
    ASSERT_GT(block - listing.lines.begin(), 3);
    EXPECT_EQ(std::vector<std::string>(block - 3, block), std::vector<std::string>({"; Last note.", ";", ";"}));
}

}  // namespace
}  // namespace veltrin
