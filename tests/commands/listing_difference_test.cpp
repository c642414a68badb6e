#include "commands/listing_difference.h"

#include <gtest/gtest.h>

#include <utility>

namespace veltrin {
namespace {

// Compares the bytes that a run would write with those of the file, given whole.
std::optional<ListingDifference> FindListingDifference(std::string_view expectedBytes, std::string_view foundBytes) {
    ListingComparison comparison(
        [&foundBytes]() -> Expected<std::string_view> { return std::exchange(foundBytes, {}); }, false);
    comparison.Expect(expectedBytes);
    return *comparison.Finish();
}

TEST(FindListingDifferenceTest, GivesTheFirstDifferingLineAndHowManyDiffer) {
    struct Row {
        const char* expected = nullptr;
        const char* found = nullptr;
        std::size_t firstLine = 0;
        const char* expectedLine = nullptr;
        const char* foundLine = nullptr;
        std::size_t differingLines = 0;
        bool lineFeedsOnly = false;
    };
    const Row rows[] = {
        {"a\r\nb\r\n", "a\r\nb\n", 2, "\"b\"", "\"b\" (ends in LF, not CR LF)", 1, false},
        {"a\r\nb\r\nc\r\n", "a\n\nc\n", 2, "\"b\"", "\"\"", 1, true},
        {"a\r\n", "a\n", 0, "", "", 0, true},
        {"a\r\nb\r\nc\r\n", "a\r\n", 2, "\"b\"", "end of file", 2, false},
        {"a\r\n", "a\r\nb\x7F", 2, "end of file", R"("b\x7F" (no line end))", 1, false},
        {"a\r\nb\r\nc\r\n", "x\r\nb\r\ny\r\n", 1, "\"a\"", "\"x\"", 2, false},
    };
    for (const Row& row : rows) {
        const std::optional<ListingDifference> difference = FindListingDifference(row.expected, row.found);
        ASSERT_TRUE(difference.has_value()) << row.found;
        EXPECT_EQ(difference->firstLine, row.firstLine) << row.found;
        EXPECT_EQ(difference->expected, row.expectedLine) << row.found;
        EXPECT_EQ(difference->found, row.foundLine) << row.found;
        EXPECT_EQ(difference->differingLines, row.differingLines) << row.found;
        EXPECT_EQ(difference->lineFeedsOnly, row.lineFeedsOnly) << row.found;
    }
    EXPECT_FALSE(FindListingDifference("a\r\n", "a\r\n").has_value());
}

}  // namespace
}  // namespace veltrin
