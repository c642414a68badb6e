#include "toolkit/line_diff.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "support/test_folder.h"

namespace veltrin {
namespace {

using Lines = std::vector<std::string>;

std::optional<LineChanges> Diff(const Lines& oldLines, const Lines& newLines, DiffBudget budget = {}) {
    LineDiff diff(true, budget);
    for (std::size_t line = 0; line < std::max(oldLines.size(), newLines.size()); ++line) {
        diff.Add(line < oldLines.size() ? std::optional<std::string_view>(oldLines[line]) : std::nullopt,
                 line < newLines.size() ? std::optional<std::string_view>(newLines[line]) : std::nullopt);
    }
    return diff.Finish();
}

std::string Joined(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
    }
    return text;
}

// Listings edited at random, as people edit them: the hunks are those that diff -u writes for the same two files.
TEST(LineDiffTest, WritesTheHunksThatDiffWrites) {
#ifdef _WIN32
    GTEST_SKIP() << "GNU diff is not at hand under Wine";
#endif
    Lines listing;
    const std::string bytes = testing_support::ReadFile(VELTRIN_TEST_DATA "/Spectrum+2_Spanish_ROM0.asm");
    for (std::size_t start = 0, end = 0; start < bytes.size(); start = end) {
        end = bytes.find('\n', start) + 1;
        listing.push_back(bytes.substr(start, end - start));
    }
    const testing_support::TestFolder folder;
    testing_support::WriteFile(folder / "new", bytes);
    std::mt19937 random(28);
    const auto below = [&random](std::size_t count) { return static_cast<std::size_t>(random() % count); };
    for (int round = 0; round < 40; ++round) {
        Lines edited = listing;
        for (std::size_t edits = 1 + below(4); edits > 0; --edits) {
            const auto at = static_cast<std::ptrdiff_t>(below(edited.size() - 200));
            const std::size_t count = 1 + below(below(2) == 0 ? 3 : 120);
            if (const std::size_t kind = below(4); kind == 0) {
                edited.erase(edited.begin() + at, edited.begin() + at + static_cast<std::ptrdiff_t>(count));
            } else if (kind == 1) {
                edited.insert(edited.begin() + at, count, edited.at(below(edited.size())));
            } else if (kind == 2) {
                edited.at(static_cast<std::size_t>(at)) = "; edited\n";
            } else {
                const Lines block(edited.begin() + at, edited.begin() + at + static_cast<std::ptrdiff_t>(count));
                edited.erase(edited.begin() + at, edited.begin() + at + static_cast<std::ptrdiff_t>(count));
                edited.insert(edited.begin() + static_cast<std::ptrdiff_t>(below(edited.size())), block.begin(),
                              block.end());
            }
        }
        if (round % 8 == 0) {
            edited.back().pop_back();  // a last line without its line end
        }
        testing_support::WriteFile(folder / "old", Joined(edited));
        const std::string command = "cd '" + folder.Path().string() + "' && diff -u old new | tail -n +3 >hunks";
        ASSERT_EQ(std::system(command.c_str()), 0);
        const std::optional<LineChanges> changes = Diff(edited, listing);
        ASSERT_TRUE(changes) << round;
        EXPECT_EQ(changes->hunks, testing_support::ReadFile(folder / "hunks")) << round;
    }
}

// Twenty lines of a hundred replaced: the difference is worked out within the budget that it just fits, and given up
// past each of its limits.
TEST(LineDiffTest, GivesUpPastItsBudget) {
    Lines oldLines;
    for (int line = 0; line < 100; ++line) {
        oldLines.push_back(std::to_string(line) + "\n");
    }
    Lines newLines = oldLines;
    for (std::size_t line = 40; line < 60; ++line) {
        newLines[line] = "new\n";
    }
    const DiffBudget fits{60, 200, 441, 40, 140};
    const std::optional<LineChanges> changes = Diff(oldLines, newLines, fits);
    ASSERT_TRUE(changes);
    ASSERT_EQ(changes->changes.size(), 1U);
    EXPECT_EQ(changes->changes[0].oldLine, 41U);
    EXPECT_EQ(changes->changes[0].removed, 20U);
    EXPECT_EQ(changes->changes[0].added, 20U);
    for (std::size_t limit = 0; limit < 5; ++limit) {
        DiffBudget budget = fits;
        --(limit == 0   ? budget.heldLines
           : limit == 1 ? budget.heldBytes
           : limit == 2 ? budget.searchSteps
           : limit == 3 ? budget.changedLines
                        : budget.changedBytes);
        EXPECT_FALSE(Diff(oldLines, newLines, budget)) << limit;
    }
}

}  // namespace
}  // namespace veltrin
