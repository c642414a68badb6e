#include "toolkit/line_diff.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <tuple>
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

Lines LinesOf(const std::string& text) {
    Lines lines;
    for (std::size_t start = 0, end = 0; start < text.size(); start = end) {
        end = std::min(text.find('\n', start), text.size() - 1) + 1;
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

// The hunks are those that diff -u writes for the same two files.
void ExpectTheHunksOfDiff(const std::string& oldText, const std::string& newText) {
    const testing_support::TestFolder folder;
    testing_support::WriteFile(folder / "old", oldText);
    testing_support::WriteFile(folder / "new", newText);
    const std::string command = "cd '" + folder.Path().string() + "' && diff -u old new | tail -n +3 >hunks";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::optional<LineChanges> changes = Diff(LinesOf(oldText), LinesOf(newText));
    ASSERT_TRUE(changes);
    EXPECT_EQ(changes->hunks, testing_support::ReadFile(folder / "hunks")) << oldText.substr(0, 200);
}

// Hunks at either end, changes two contexts apart and one more, changes among lines that repeat, a side that ends
// first, a last line without its line end; then listings edited at random, as people edit them.
TEST(LineDiffTest, WritesTheHunksThatDiffWrites) {
#ifdef _WIN32
    GTEST_SKIP() << "GNU diff is not at hand under Wine";
#endif
    // Pairs of old and new text apart by ";", each text after its "=", with "|" for a line feed.
    std::string pairs = ";=a|b|;a|b|=;a|=b|;a|b|c|=a|;a|b=a|b|;a|q|q|q|b|=a|q|X|q|b|;x|a|b|b|c|=y|a|b|c|";
    std::replace(pairs.begin(), pairs.end(), '|', '\n');
    for (std::size_t start = 1; start != 0;) {  // past the last pair, start wraps round to 0
        const std::size_t equals = pairs.find('=', start);
        const std::size_t end = pairs.find(';', equals);
        ExpectTheHunksOfDiff(pairs.substr(start, equals - start), pairs.substr(equals + 1, end - equals - 1));
        start = end + 1;
    }
    std::string lines;
    for (int line = 0; line < 20; ++line) {
        lines += std::to_string(line) + "\n";
    }
    for (const auto& [first, second] : {std::pair{4, 11}, {4, 12}, {0, 19}}) {
        std::string edited = lines;
        for (const int line : {first, second}) {
            edited.replace(edited.find(std::to_string(line) + "\n"), 1, "x");
        }
        ExpectTheHunksOfDiff(lines, edited);
    }
    const std::string newText = testing_support::ReadFile(VELTRIN_TEST_DATA "/Spectrum+2_Spanish_ROM0.asm");
    const Lines listing = LinesOf(newText);
    std::mt19937 random(28);
    const auto below = [&random](std::size_t count) { return static_cast<std::size_t>(random() % count); };
    for (int round = 0; round < 25; ++round) {
        Lines edited = listing;
        for (std::size_t edits = 1 + below(4); edits > 0; --edits) {
            const auto at = edited.begin() + static_cast<std::ptrdiff_t>(below(edited.size() - 200));
            const auto count = static_cast<std::ptrdiff_t>(1 + below(below(2) == 0 ? 3 : 120));
            if (const std::size_t kind = below(4); kind == 0) {
                edited.erase(at, at + count);
            } else if (kind == 1) {
                edited.insert(at, static_cast<std::size_t>(count), edited.at(below(edited.size())));
            } else if (kind == 2) {
                *at = "; edited\n";
            } else {
                const Lines block(at, at + count);
                edited.erase(at, at + count);
                edited.insert(edited.begin() + static_cast<std::ptrdiff_t>(below(edited.size())), block.begin(),
                              block.end());
            }
        }
        std::string oldText;
        for (const std::string& line : edited) {
            oldText += line;
        }
        ExpectTheHunksOfDiff(oldText, newText);
    }
}

// Lines of a thousand replaced, added, removed, added after the last, and the last replaced by more: each difference
// is worked out within the budget that it just fits, and given up past each of its limits.
TEST(LineDiffTest, GivesUpPastItsBudget) {
    struct Row {
        std::size_t at = 0;
        std::size_t removed = 0;
        std::size_t added = 0;
        DiffBudget fits;
    };
    Lines oldLines;
    for (int line = 0; line < 1000; ++line) {
        oldLines.push_back(std::to_string(line) + "\n");
    }
    for (const Row& row : {Row{40, 20, 20, {255, 980, 441, 40, 140}}, Row{40, 0, 20, {127, 448, 441, 20, 80}},
                           Row{40, 20, 0, {127, 468, 441, 20, 60}}, Row{1000, 0, 100, {0, 0, 0, 100, 400}},
                           Row{990, 10, 310, {310, 1240, 3421, 320, 1280}}}) {
        Lines newLines(oldLines.begin(), oldLines.begin() + static_cast<std::ptrdiff_t>(row.at));
        newLines.insert(newLines.end(), row.added, "new\n");
        newLines.insert(newLines.end(), oldLines.begin() + static_cast<std::ptrdiff_t>(row.at + row.removed),
                        oldLines.end());
        const std::optional<LineChanges> changes = Diff(oldLines, newLines, row.fits);
        ASSERT_TRUE(changes && changes->changes.size() == 1) << row.at;
        const LineChange& change = changes->changes[0];
        EXPECT_EQ(std::tuple(change.oldLine, change.removed, change.added),
                  std::tuple(row.at + 1, row.removed, row.added));
        for (std::size_t DiffBudget::*limit : {&DiffBudget::heldLines, &DiffBudget::heldBytes, &DiffBudget::searchSteps,
                                               &DiffBudget::changedLines, &DiffBudget::changedBytes}) {
            DiffBudget budget = row.fits;
            if (budget.*limit > 0) {
                --(budget.*limit);
                EXPECT_FALSE(Diff(oldLines, newLines, budget)) << row.at;
            }
        }
    }
}

}  // namespace
}  // namespace veltrin
