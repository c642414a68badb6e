#include "toolkit/block_primitives.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/data_table.h"
#include "support/source_bytes.h"

namespace veltrin {
namespace {

using Lines = std::vector<std::string>;
using Row = std::vector<std::string>;

// The lines of a table's field: joined by "\n", "-" for none.
Lines LinesOf(const std::string& field) {
    return field == "-" ? Lines() : testing_support::Split(testing_support::Unescaped(field), "\n");
}

// A source listing as read from a file, one line each.
SourceLines Listing(const Lines& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line + "\r\n";
    }
    return testing_support::SourceLinesOf(bytes);
}

// Keeps the lines that reach the end of the pipeline.
struct CollectedLines : LineSink {
    void Write(std::string_view line) override { lines.emplace_back(line); }
    Lines lines;
};

TEST(CopyUntilLabelTest, CopiesUpToTheLabelOrItsHeaderAndLeavesTheCursorThere) {
    for (const Row& row : testing_support::ReadDataTable("label_searches.txt")) {
        SCOPED_TRACE(row.at(0));
        const Lines lines = LinesOf(row.at(4));
        const SourceIndex end = std::stoul(row.at(3));
        const bool found = end < lines.size();
        CollectedLines collected;
        OutputLines output(collected);
        SourceIndex index = 0;
        const LabelMode mode = row.at(2) == "header" ? LabelMode::kLeaveHeader : LabelMode::kUpToLabelLine;
        EXPECT_EQ(CopyUntilLabel(row.at(1), index, Listing(lines), output, mode, {}), found);
        EXPECT_EQ(index, end);
        output.Flush();
        EXPECT_EQ(collected.lines, Lines(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(found ? end : 0)));
    }
}

TEST(CopyUntilCommentTest, CopiesUpToTheCommentLineWithoutTheNeverCalledNotes) {
    for (const Row& row : testing_support::ReadDataTable("comment_searches.txt")) {
        SCOPED_TRACE(row.at(0));
        const SourceLines source = Listing(LinesOf(row.at(3)));
        const bool found = row.at(1) == "yes";
        CollectedLines collected;
        OutputLines output(collected);
        for (const std::string& line : LinesOf(row.at(2))) {
            output.Append(line);
        }
        SourceIndex index = 0;
        EXPECT_EQ(CopyUntilComment(" Shadow screen", index, source, output, {}), found);
        EXPECT_EQ(index, source.size() - (found ? 1 : 0));
        output.Flush();
        EXPECT_EQ(collected.lines, LinesOf(row.at(4)));
    }
}

}  // namespace
}  // namespace veltrin
