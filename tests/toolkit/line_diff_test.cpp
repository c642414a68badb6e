#include "toolkit/line_diff.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "support/data_table.h"
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

// The pairs of line_diffs.txt.
TEST(LineDiffTest, WritesTheHunksThatDiffWrites) {
#ifdef _WIN32
    GTEST_SKIP() << "GNU diff is not at hand under Wine";
#endif
    for (const std::vector<std::string>& row : testing_support::ReadDataTable("line_diffs.txt")) {
        const auto text = [](const std::string& field) {
            return field == "-" ? "" : testing_support::Unescaped(field);
        };
        ExpectTheHunksOfDiff(text(row.at(0)), text(row.at(1)));
    }
}

// The rows of diff_budgets.txt.
TEST(LineDiffTest, GivesUpPastItsBudget) {
    Lines oldLines;
    for (int line = 0; line < 1000; ++line) {
        oldLines.push_back(std::to_string(line) + "\n");
    }
    for (const std::vector<std::string>& fields : testing_support::ReadDataTable("diff_budgets.txt")) {
        std::vector<std::size_t> row;  // at, removed, added, then the budget that the difference just fits
        std::ranges::transform(fields, std::back_inserter(row),
                               [](const std::string& field) { return std::stoul(field); });
        const DiffBudget fits{row.at(3), row.at(4), row.at(5), row.at(6), row.at(7)};
        Lines newLines(oldLines.begin(), oldLines.begin() + static_cast<std::ptrdiff_t>(row[0]));
        newLines.insert(newLines.end(), row[2], "new\n");
        newLines.insert(newLines.end(), oldLines.begin() + static_cast<std::ptrdiff_t>(row[0] + row[1]),
                        oldLines.end());
        const std::optional<LineChanges> changes = Diff(oldLines, newLines, fits);
        ASSERT_TRUE(changes && changes->changes.size() == 1) << row[0];
        const LineChange& change = changes->changes[0];
        EXPECT_EQ(std::tuple(change.oldLine, change.removed, change.added), std::tuple(row[0] + 1, row[1], row[2]));
        for (std::size_t DiffBudget::*limit : {&DiffBudget::heldLines, &DiffBudget::heldBytes, &DiffBudget::searchSteps,
                                               &DiffBudget::changedLines, &DiffBudget::changedBytes}) {
            DiffBudget budget = fits;
            if (budget.*limit > 0) {
                --(budget.*limit);
                EXPECT_FALSE(Diff(oldLines, newLines, budget)) << row[0];
            }
        }
    }
}

}  // namespace
}  // namespace veltrin
