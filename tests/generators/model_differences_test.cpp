#include "generators/model_differences.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veltrin {
namespace {

std::vector<std::string> Block() {
    OutputLines lines{""};
    AppendModelDifferences(lines);
    return {lines.begin(), lines.end()};
}

TEST(ModelDifferences, AppendsSixtyFiveLinesAfterWhatIsThere) {
    OutputLines lines{"", "first", "second"};
    AppendModelDifferences(lines);
    ASSERT_EQ(lines.size(), 3U + 65U);
    EXPECT_EQ(lines[2], "second");
    EXPECT_EQ(lines[3], "; ------------");
    EXPECT_EQ(lines.back(), "");
}

TEST(ModelDifferences, EmptyLinesStandWhereTheBlockHasThem) {
    const std::vector<std::string> lines = Block();
    for (std::size_t k = 1; k <= 65; ++k) {
        EXPECT_EQ(lines[k].empty(), k == 9 || k == 10 || k == 65) << "line " << k;
    }
}

// Lines whose spacing a reader of the listing sees at once when it is wrong.
TEST(ModelDifferences, KeepsTheExactSpacingOfDrawingAndTable) {
    const std::vector<std::string> lines = Block();
    EXPECT_EQ(lines[4], ";" + std::string(17, ' ') + "_");
    EXPECT_EQ(lines[5], ";" + std::string(16, ' ') + "| |");
    EXPECT_EQ(lines[6], "; Audio ____/\\   |_|");
    EXPECT_EQ(lines[8], "; 0V    __________|");
    EXPECT_EQ(lines[24], "; Spectrum 128  Spectrum +2   French +2     Spanish +2    Comment");
    EXPECT_EQ(lines[28], ";" + std::string(124, ' ') + "\"" + std::string(18, ' ') + "Electronics plc\".");
    EXPECT_EQ(lines[32], "; $2751-$2753" + std::string(45, ' ') +
                             "Present in the 128 only. Contains the Tape Tester main menu option jump table entry.");
    EXPECT_EQ(lines[34],
              "; $2755-$275D   $2771-$2779   $2771-$2779   $2771-$2779   Main menu \"128    \" menu title "
              "text.");
    EXPECT_EQ(lines[41],
              "; $27A1-$27A9   $27B2-$27BA   $27B3-$27BB   $27B3-$27BB   Edit menu \"Options \" menu "
              "title text.");
    EXPECT_EQ(lines[55], ";" + std::string(126, ' ') + "\"To cancel - press BREAK twice\".");
    EXPECT_EQ(lines[63], ";" + std::string(15, ' ') +
                             "$3FA6-$3FFE   $3FBB-$3FFE   $3FB8-$3FFE   Unused space, all containing $00.");
    EXPECT_EQ(lines[64], "; $3FFF         $3FFF         $3FFF         $3FFF");
}

TEST(ModelDifferences, ContinuationLinesStartUnderTheSecondQuotation) {
    const std::vector<std::string> lines = Block();
    const auto secondQuote = [](std::string_view line) { return line.find('"', line.find(" to \"")); };
    EXPECT_EQ(lines[28].find('"'), secondQuote(lines[27]));
    EXPECT_EQ(lines[55].find('"'), secondQuote(lines[54]));
}

TEST(ModelDifferences, TableRowsHaveNoTrailingSpaces) {
    const std::vector<std::string> lines = Block();
    for (std::size_t k = 1; k <= 65; ++k) {
        EXPECT_THAT(lines[k], Not(testing::EndsWith(" "))) << "line " << k;
    }
}

// A real listing has some 18,000 lines; a longer one must still close normally.
TEST(ModelDifferences, ClosesListingsOfAnyLength) {
    OutputLines lines(40'000, "        NOP");
    AppendModelDifferences(lines);
    ASSERT_EQ(lines.size(), 40'065U);
    EXPECT_EQ(lines[40'000], "; ------------");
}

}  // namespace
}  // namespace veltrin
