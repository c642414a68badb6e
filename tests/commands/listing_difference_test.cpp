#include "commands/listing_difference.h"

#include <gtest/gtest.h>

#include <utility>

namespace veltrin {
namespace {

// Compares the bytes that a run would write with those of the file, given whole.
std::optional<ListingDifference> FindListingDifference(std::string_view expectedBytes, std::string_view foundBytes) {
    ListingComparison comparison(
        [&foundBytes]() -> Expected<std::string_view> { return std::exchange(foundBytes, {}); });
    comparison.Expect(expectedBytes);
    return *comparison.Finish();
}

TEST(FindListingDifferenceTest, GivesTheFirstDifferingLineAndHowManyDiffer) {
    struct Row {
        const char* expected = nullptr;
        const char* found = nullptr;
        ListingDifference difference;
    };
    const Row rows[] = {
        {"a\r\nb\r\n", "a\nb\r\n", {1, "\"a\"", "\"a\" (ends in LF, not CR LF)", 1}},
        {"a\r\nb\r\nc\r\n", "a\r\n", {2, "\"b\"", "end of file", 2}},
        {"a\r\n", "a\r\nb\x7F", {2, "end of file", R"("b\x7F" (no line end))", 1}},
        {"a\r\nb\r\nc\r\n", "x\r\nb\r\ny\r\n", {1, "\"a\"", "\"x\"", 2}},
    };
    for (const Row& row : rows) {
        const std::optional<ListingDifference> difference = FindListingDifference(row.expected, row.found);
        ASSERT_TRUE(difference.has_value()) << row.found;
        EXPECT_EQ(difference->firstLine, row.difference.firstLine) << row.found;
        EXPECT_EQ(difference->expected, row.difference.expected) << row.found;
        EXPECT_EQ(difference->found, row.difference.found) << row.found;
        EXPECT_EQ(difference->differingLines, row.difference.differingLines) << row.found;
    }
    EXPECT_FALSE(FindListingDifference("a\r\n", "a\r\n").has_value());
}

}  // namespace
}  // namespace veltrin
