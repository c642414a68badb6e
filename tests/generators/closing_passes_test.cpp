#include "generators/closing_passes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "generators/model_differences.h"
#include "generators/plus2_models.h"
#include "support/data_table.h"

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
    const SourceLines source(std::string(std::istreambuf_iterator<char>(in), {}) + "; Last note.\r\n;\r\n;\r\n");
    struct : LineSink {
        void Write(std::string_view line) override { lines.emplace_back(line); }
        std::vector<std::string> lines;
    } listing;
    ConversionHost host;
    ASSERT_TRUE(kEnglishPlus2.CreateListing(source, listing, host));
    ASSERT_GT(listing.lines.size(), std::size_t{kModelDifferencesLineCount + 3});
    const auto scriptEnd = listing.lines.end() - kModelDifferencesLineCount;
    EXPECT_EQ(std::vector<std::string>(scriptEnd - 3, scriptEnd), std::vector<std::string>({"; Last note.", ";", ";"}));
}

}  // namespace
}  // namespace veltrin
