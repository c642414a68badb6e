#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "generators/model_differences.h"
#include "generators/model_listings.h"
#include "support/sample_listing.h"
#include "toolkit/line_relocation.h"

namespace veltrin {
namespace {

using testing_support::IndexOfLineStartingWith;
using testing_support::RecordingHost;
using testing_support::SampleListing;

OutputLines EnglishListing(const SourceLines& source = SampleListing()) {
    OutputLines output{""};
    RecordingHost host;
    EXPECT_TRUE(CreatePlus2Listing(source, output, host));
    EXPECT_TRUE(host.messages.empty());
    return output;
}

// The lines of a listing from an index on, as many as expected.
std::vector<std::string> LinesFrom(const OutputLines& lines, std::size_t index, std::size_t count) {
    if (index == 0 || index + count > lines.size()) {
        return {};
    }
    return {lines.begin() + static_cast<std::ptrdiff_t>(index),
            lines.begin() + static_cast<std::ptrdiff_t>(index + count)};
}

std::size_t CountLinesContaining(const ListingLines& lines, std::size_t from, std::size_t to, std::string_view text) {
    return static_cast<std::size_t>(std::count_if(
        lines.begin() + static_cast<std::ptrdiff_t>(from), lines.begin() + static_cast<std::ptrdiff_t>(to),
        [text](std::string_view line) { return line.find(text) != std::string::npos; }));
}

TEST(EnglishListing, StartsWithItsOwnTitleInsteadOfThe128One) {
    const OutputLines output = EnglishListing();
    EXPECT_EQ(output[0], "");
    EXPECT_THAT(LinesFrom(output, 1, 3), testing::ElementsAre("; *************************************",
                                                              "; *** SPECTRUM +2 ROM 0 DISASSEMBLY ***",
                                                              "; *************************************"));
    EXPECT_EQ(std::count(output.begin(), output.end(), SampleListing()[2]), 0);
}

TEST(EnglishListing, KeepsTheReleaseLinesAndSaysWhereItComesFrom) {
    const SourceLines& source = SampleListing();
    const OutputLines output = EnglishListing();
    const std::size_t sourceRelease = IndexOfLineStartingWith(source, "; Release Date");
    const std::size_t release = IndexOfLineStartingWith(output, "; Release Date");
    ASSERT_NE(release, 0U);
    EXPECT_EQ(LinesFrom(output, release, 3), LinesFrom(source, sourceRelease, 3));
    EXPECT_THAT(LinesFrom(output, release + 3, 3),
                testing::ElementsAre("; This file was automatically derived from the Spectrum 128 ROM 0 disassembly, "
                                     "using a conversion utility created by Brannock.",
                                     "; Any enhancements or corrections should only be made to the Spectrum 128 ROM 0 "
                                     "disassembly and then the utility used to automatically",
                                     "; regenerate the Spectrum +2 listing."));
}

TEST(EnglishListing, InsertsThePlus2CopyrightMessage) {
    const OutputLines output = EnglishListing();
    EXPECT_THAT(LinesFrom(output, IndexOfLineStartingWith(output, "L0561:"), 8),
                testing::ElementsAre("L0561:  DEFB $7F ; (c)", "        DEFM \"1986, \"", "        DEFB $7F ; (c)",
                                     "        DEFM \"1982 Amstrad Consumer\" ; Copyright / Report 'p'.",
                                     "        DEFB $0D", "        DEFM \"              Electronics pl\"",
                                     "        DEFB 'c'+$80", testing::Not(testing::StartsWith("        DEF"))));
}

TEST(EnglishListing, CountsFourMainMenuEntriesAtTheirPlus2Labels) {
    const OutputLines output = EnglishListing();
    EXPECT_NE(IndexOfLineStartingWith(output, "L2763:  DEFB $04          ; Number of entries."), 0U);
    EXPECT_NE(IndexOfLineStartingWith(output, "L2770:  DEFB $05          ; Number of entries."), 0U);
    EXPECT_EQ(IndexOfLineStartingWith(output, "L2744:"), 0U);
    EXPECT_EQ(IndexOfLineStartingWith(output, "L2754:"), 0U);
}

TEST(EnglishListing, ShowsTheTapeLoaderMessageOneRowHigherWithInsertTapeInFront) {
    const OutputLines output = EnglishListing();
    const std::size_t at = IndexOfLineStartingWith(output, "L27FC:");
    ASSERT_NE(at, 0U);
    EXPECT_EQ(output[at], "L27FC:  DEFB $16,$00,$00  ; AT 0,0;");
    EXPECT_THAT(LinesFrom(output, at + 4, 2),
                testing::ElementsAre("        DEFM \"Insert tape and press PLAY\"", "        DEFB $0D"));
}

// Every line that defines a label inside a Tape Tester block of the 128 is gone, under any address.
TEST(EnglishListing, LeavesEveryTapeTesterBlockOut) {
    const SourceLines& source = SampleListing();
    const OutputLines output = EnglishListing();
    const std::vector<std::pair<unsigned, unsigned>> tapeTester{
        {0x2751, 0x2753}, {0x2784, 0x278E}, {0x2816, 0x281B}, {0x3855, 0x3859}, {0x3BE9, 0x3C62}};
    int checked = 0;
    for (std::size_t index = 4; index < source.size(); ++index) {
        const ListingLine& line = source[index];
        if (line.size() < 6 || line[0] != 'L' || line[5] != ':') {
            continue;
        }
        const auto address = static_cast<unsigned>(std::stoul(std::string(line.substr(1, 4)), nullptr, 16));
        for (const auto& [first, last] : tapeTester) {
            if (address >= first && address <= last) {
                ++checked;
                const std::string relocated = RelocateLine(line, kEnglishModel);
                EXPECT_EQ(std::count(output.begin(), output.end(), std::string_view(relocated)), 0) << line;
            }
        }
    }
    EXPECT_GE(checked, 3);
    EXPECT_EQ(CountLinesContaining(output, 1, output.size(), "\"Tape Teste\""), 0U);
}

TEST(EnglishListing, ListsTheUnusedSpaceAtTheTopOfTheRom) {
    const OutputLines output = EnglishListing();
    const std::size_t at = IndexOfLineStartingWith(output, "L3FA6:");
    ASSERT_NE(at, 0U);
    EXPECT_THAT(LinesFrom(output, at - 6, 7),
                testing::ElementsAre("", "", "; ============", "; UNUSED SPACE", "; ============", "",
                                     "L3FA6:  DEFB $00, $00, $00, $00"));
    EXPECT_EQ(LinesFrom(output, at + 1, 21), std::vector<std::string>(21, "        DEFB $00, $00, $00, $00"));
    EXPECT_EQ(output[at + 22], "        DEFB $00");
    EXPECT_NE(output[at + 23], "        DEFB $00, $00, $00, $00");
}

TEST(EnglishListing, SpeaksOfTheTwoScreensOfThePlus2) {
    const OutputLines output = EnglishListing();
    EXPECT_EQ(CountLinesContaining(output, 1, output.size(),
                                   "; The two screens available on the Spectrum +2, the "
                                   "normal screen in RAM bank 5 ($4000-$5AFF) and the "
                                   "shadow screen in"),
              1U);
    EXPECT_EQ(CountLinesContaining(output, 1, output.size(), "The two screens available on the Spectrum 128"), 0U);
}

TEST(EnglishListing, PutsInsertTapeInFrontOfEachCancelMessageOnceButNotInTheDifferencesBlock) {
    const SourceLines& source = SampleListing();
    const OutputLines output = EnglishListing();
    const std::size_t blockStart = output.size() - kModelDifferencesLineCount;
    const std::size_t quoted = CountLinesContaining(source, 4, source.size(), "To cancel - press BREAK twice");
    ASSERT_GE(quoted, 1U);
    EXPECT_EQ(CountLinesContaining(output, 1, blockStart, "Insert tape and press PLAY. To cancel - press BREAK twice"),
              quoted);
    EXPECT_EQ(CountLinesContaining(output, 1, output.size(), "PLAY. Insert tape"), 0U);
    EXPECT_EQ(CountLinesContaining(output, blockStart, output.size(), "Insert tape and press PLAY. "), 0U);
}

// Marked references are rewritten in the notes that are copied with the code and in those copied verbatim.
TEST(EnglishListing, RelocatesMarkedRom0ReferencesOnly) {
    const OutputLines output = EnglishListing();
    const auto has = [&output](std::string_view text) {
        return std::any_of(output.begin(), output.end(),
                           [text](std::string_view line) { return line.find(text) != std::string::npos; });
    };
    EXPECT_TRUE(has("as in $2763 (ROM 0) for the main menu"));
    EXPECT_TRUE(has("a range such as $2842-$387A (ROM 0). Addresses without the marker"));
    EXPECT_TRUE(has("at $4000-$5AFF or the system variables from $5B00, are left as written."));
    EXPECT_TRUE(has("\"$0556 (ROM 1)\""));
    EXPECT_TRUE(has("continues at $00C7 (ROM 0)."));
    EXPECT_TRUE(has("The Tape Loader message at $27FC (ROM 0) reads"));
    EXPECT_TRUE(has("and the routines $2842-$387A (ROM 0) handle the menu options."));
    EXPECT_FALSE(has("$2744 (ROM 0)"));
    EXPECT_FALSE(has("$281C-$3854 (ROM 0)"));
}

// A "[Never called by this ROM]" note and the lone ";" above it are not carried over in front of the last byte.
TEST(EnglishListing, DropsTheNeverCalledNoteBeforeTheLastByte) {
    const OutputLines output = EnglishListing();
    const std::size_t lastByte = IndexOfLineStartingWith(output, "L3FFF:");
    ASSERT_NE(lastByte, 0U);
    EXPECT_EQ(output[lastByte - 1], "; Holds the value $01, which a paging test can read to tell ROM 0 from ROM 1.");
}

TEST(EnglishListing, EndsWithTheDifferencesBlock) {
    const OutputLines output = EnglishListing();
    OutputLines block;
    AppendModelDifferences(block);
    ASSERT_GT(output.size(), block.size());
    EXPECT_TRUE(std::equal(block.begin(), block.end(), output.end() - static_cast<std::ptrdiff_t>(block.size())));
}

// A listing longer than 32,767 lines, with the marked references at its end, converts like any other.
TEST(EnglishListing, ConvertsListingsOfMoreThanFortyThousandLines) {
    SourceLines source = SampleListing();
    const std::size_t notes = IndexOfLineStartingWith(source, "; The two screens available on the Spectrum 128");
    ASSERT_NE(notes, 0U);
    const std::size_t release = IndexOfLineStartingWith(source, "; Release Date");
    source.insert(source.begin() + static_cast<std::ptrdiff_t>(release + 3), 41'000, "; More notes on the ROM.");
    source.push_back("; See $2744 (ROM 0).");
    const OutputLines output = EnglishListing(source);
    EXPECT_EQ(output.size(), EnglishListing().size() + 41'001);
    EXPECT_EQ(output[output.size() - kModelDifferencesLineCount - 1], "; See $2763 (ROM 0).");
}

}  // namespace
}  // namespace veltrin
