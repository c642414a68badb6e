#include "generators/closing_passes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "generators/model_differences.h"
#include "generators/model_listings.h"

namespace veltrin {
namespace {

TEST(UpdateTapeLoaderMessage, PutsTheInsertTapeSentenceInFrontOfTheFirstCancelMessageOnly) {
    std::string scratch;
    EXPECT_EQ(UpdateTapeLoaderMessage(
                  "; Prints \"To cancel - press BREAK twice\" and \"To cancel - press BREAK twice\".", scratch),
              "; Prints \"Insert tape and press PLAY. To cancel - press BREAK twice\" and \"To cancel - press BREAK "
              "twice\".");
    EXPECT_EQ(UpdateTapeLoaderMessage("; to cancel - press break twice", scratch), "; to cancel - press break twice");
    EXPECT_EQ(UpdateTapeLoaderMessage("        DEFM \"To cancel - press BREAK twic\"", scratch),
              "        DEFM \"To cancel - press BREAK twic\"");
}

struct Rom0Case {
    const char* line;
    TargetModel model;
    const char* expected;
};

class RelocateRom0ReferencesTest : public testing::TestWithParam<Rom0Case> {};

TEST_P(RelocateRom0ReferencesTest, RewritesOnlyMarkedAddressesInComments) {
    std::string scratch;
    EXPECT_EQ(RelocateRom0References(GetParam().line, GetParam().model, scratch), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Comments, RelocateRom0ReferencesTest,
    testing::Values(
        Rom0Case{"; See $2744 (ROM 0).", TargetModel::kEnglish, "; See $2763 (ROM 0)."},
        Rom0Case{"; See $2744 (ROM 0).", TargetModel::kSpanish, "; See $2763 (ROM 0)."},
        Rom0Case{"; See $27EB (ROM 0).", TargetModel::kFrench, "; See $280B (ROM 0)."},
        Rom0Case{"; Range $281C-$3854 (ROM 0).", TargetModel::kEnglish, "; Range $2842-$387A (ROM 0)."},
        Rom0Case{"; Range $281C-$3854 (ROM 0).", TargetModel::kSpanish, "; Range $2854-$388C (ROM 0)."},
        Rom0Case{"; lower case digits $27eb (ROM 0)", TargetModel::kEnglish, "; lower case digits $27FC (ROM 0)"},
        // Unmarked addresses, or a marker in other letter case, stay as they are.
        Rom0Case{"; Screen at $4000-$5AFF and $2744 here.", TargetModel::kEnglish,
                 "; Screen at $4000-$5AFF and $2744 here."},
        Rom0Case{"; $2744 (rom 0)", TargetModel::kEnglish, "; $2744 (rom 0)"},
        Rom0Case{"; $2744  (ROM 0)", TargetModel::kEnglish, "; $2744  (ROM 0)"},
        Rom0Case{"; $2744 (ROM 1)", TargetModel::kEnglish, "; $2744 (ROM 1)"},
        // Only the second address of an unmarked range ends the look at it; the next "$" is examined afresh.
        Rom0Case{"; $4000-$5AFF $2744 (ROM 0)", TargetModel::kEnglish, "; $4000-$5AFF $2763 (ROM 0)"},
        Rom0Case{"; $2744-$2754 and $2754 (ROM 0)", TargetModel::kEnglish, "; $2744-$2754 and $2770 (ROM 0)"},
        Rom0Case{"; $2744 (ROM 0) and $2754 (ROM 0)", TargetModel::kEnglish, "; $2763 (ROM 0) and $2770 (ROM 0)"},
        // A "$" without four digits makes the search resume six characters on: a "$" within reach is missed.
        Rom0Case{"; $12 $2744 (ROM 0)", TargetModel::kEnglish, "; $12 $2744 (ROM 0)"},
        Rom0Case{"; $12  $2744 (ROM 0)", TargetModel::kEnglish, "; $12  $2744 (ROM 0)"},
        Rom0Case{"; $12   $2744 (ROM 0)", TargetModel::kEnglish, "; $12   $2763 (ROM 0)"},
        // Code in front of the first ";" is not read; a line without ";" is read from its start.
        Rom0Case{"        LD   HL,$2744 (ROM 0) ; $2754 (ROM 0)", TargetModel::kEnglish,
                 "        LD   HL,$2744 (ROM 0) ; $2770 (ROM 0)"},
        Rom0Case{"$2744 (ROM 0)", TargetModel::kFrench, "$2763 (ROM 0)"},
        Rom0Case{";$2744 (ROM 0)", TargetModel::kSpanish, ";$2763 (ROM 0)"},
        Rom0Case{"; $2744 (ROM 0", TargetModel::kEnglish, "; $2744 (ROM 0"},
        Rom0Case{"; ends in a dollar $", TargetModel::kEnglish, "; ends in a dollar $"},
        Rom0Case{"; $3FFF (ROM 0) $0100 (ROM 0)", TargetModel::kEnglish, "; $3FFF (ROM 0) $0100 (ROM 0)"}));

// Positions in a line are not limited to 16 bits: a marked address far along a long comment still moves.
TEST(RelocateRom0References, ReachesAddressesFarAlongLongLines) {
    std::string scratch;
    const std::string line = ";" + std::string(40'000, ' ') + "$2744 (ROM 0)";
    EXPECT_EQ(RelocateRom0References(line, TargetModel::kEnglish, scratch).substr(40'001), "$2763 (ROM 0)");
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
    ASSERT_TRUE(CreatePlus2Listing(source, listing, host));
    ASSERT_GT(listing.lines.size(), std::size_t{kModelDifferencesLineCount + 3});
    const auto scriptEnd = listing.lines.end() - kModelDifferencesLineCount;
    EXPECT_EQ(std::vector<std::string>(scriptEnd - 3, scriptEnd), std::vector<std::string>({"; Last note.", ";", ";"}));
}

}  // namespace
}  // namespace veltrin
