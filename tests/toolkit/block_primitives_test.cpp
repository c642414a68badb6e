#include "toolkit/block_primitives.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/source_bytes.h"

namespace veltrin {
namespace {

using Lines = std::vector<std::string>;

// None of the lines below holds an address that a model moves.
constexpr TargetModel kNothingMoves{};

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

class BlockTest : public testing::Test {
  protected:
    // The lines that the output holds once the held ones are let go.
    Lines Written() {
        output.Flush();
        return collected.lines;
    }

    SourceIndex index = 0;
    CollectedLines collected;
    OutputLines output{collected};
};

// Spaces and tabs come off the end in any mixture; those at the start stay.
TEST(TrimTrailingWhitespaceTest, TakesSpacesAndTabsOffTheEndOnly) {
    EXPECT_EQ(TrimTrailingWhitespace("  ; a \t \t"), "  ; a");
}

// A routine, then the next label with a header of an empty line and two comment lines.
const Lines kHeadered{"        RET", "", "; ----------------", "; Next routine", "L0100:  NOP"};

struct LabelCase {
    const char* name;
    Lines source;
    const char* label;
    LabelMode mode;
    SourceIndex end;
};

class LabelSearchTest : public BlockTest, public testing::WithParamInterface<LabelCase> {};

// A search from the first line fails exactly when it ends one past the last line. On success the lines up to the new
// cursor are copied unchanged (none of them holds a moved address).
TEST_P(LabelSearchTest, CopiesOrDropsTheBlockAndLeavesTheCursor) {
    const LabelCase& row = GetParam();
    const SourceLines source = Listing(row.source);
    const bool found = row.end < source.size();
    output.Append("; before");
    EXPECT_EQ(CopyUntilLabel(row.label, index, source, output, row.mode, kNothingMoves), found);
    EXPECT_EQ(index, row.end);
    Lines expected{"; before"};
    if (found) {
        expected.insert(expected.end(), row.source.begin(), row.source.begin() + static_cast<std::ptrdiff_t>(row.end));
    }
    EXPECT_EQ(Written(), expected);
}

constexpr LabelMode kHeader = LabelMode::kLeaveHeader;
constexpr LabelMode kLabelLine = LabelMode::kUpToLabelLine;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Blocks, LabelSearchTest,
    testing::Values(
        LabelCase{"LeaveHeader", kHeadered, "L0100", kHeader, 1},
        LabelCase{"NotFound", kHeadered, "L0101", kHeader, 5},
        LabelCase{"LabelAtTheCursor", {"L0100:  NOP"}, "L0100", kHeader, 0},
        // The header is only the run of blank, blank-looking and comment lines directly above the label.
        LabelCase{"KeepMark", {"  LD A,B", "; Note", "", "  RET", " \t ", "; Header", "L0100:"}, "L0100", kHeader, 4},
        LabelCase{"IndentedCommentIsCode", {"  RET", "", "   ; Note", "L0100:  NOP"}, "L0100", kHeader, 3},
        LabelCase{"LabelLineInLowerCase", {"  RET", "l0100:  nop"}, "L0100", kLabelLine, 1},
        LabelCase{"LowerCaseLabelGetsItsColon", {"  RET", "L01000  NOP", "L0100:  NOP"}, "l0100", kLabelLine, 2},
        LabelCase{"FurtherCharacterAfterTheLabel",
                  {"L01000: NOP", "L0100  NOP", "L0100", "  JP L0100:", " L0100: NOP", "L0100:"}, "L0100", kLabelLine, 5},
        LabelCase{"OtherTextIsALineStartInAnyCase",
                  {";", "  ; Release Date", "; Release", "; RELEASE DATE: 1986"}, "; Release Date", kLabelLine, 3}),
    [](const testing::TestParamInfo<LabelCase>& paramInfo) { return std::string(paramInfo.param.name); });
// clang-format on

constexpr const char* kComment = " Shadow screen";
constexpr const char* kLine = "; Shadow screen";
constexpr const char* kNote = "; [Never called by this ROM]";

// The comment line, when there is one, is the last line of the source.
struct CommentCase {
    const char* name;
    bool found;
    Lines before;  // appended by earlier steps
    Lines source;
    Lines after;
};

class CommentSearchTest : public BlockTest, public testing::WithParamInterface<CommentCase> {};

TEST_P(CommentSearchTest, CopiesUpToTheCommentLine) {
    const CommentCase& row = GetParam();
    const SourceLines source = Listing(row.source);
    for (const std::string& line : row.before) {
        output.Append(line);
    }
    EXPECT_EQ(CopyUntilComment(kComment, index, source, output, kNothingMoves), row.found);
    EXPECT_EQ(index, source.size() - (row.found ? 1 : 0));
    EXPECT_EQ(Written(), row.after);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Comments, CommentSearchTest,
    testing::Values(
        CommentCase{"CommentLine", true, {}, {"  RET", "", kLine}, {"  RET", ""}},
        CommentCase{"BehindCodeInAnyCase", true, {}, {"  RET", "  LD A,B ; SHADOW screen"}, {"  RET"}},
        CommentCase{"WholeRestMustMatch", true, {}, {"; Shadow screen.", "; ; Shadow screen", kLine},
                    {"; Shadow screen.", "; ; Shadow screen"}},
        CommentCase{"AtTheCursor", true, {"x"}, {kLine}, {"x"}},
        CommentCase{"NotFound", false, {";"}, {"  RET", ";", kNote, "; Shadow screen."}, {";"}},
        CommentCase{"NoteAndLoneSemicolon", true, {}, {"  RET", ";", kNote, "  NOP", kLine}, {"  RET", "  NOP"}},
        CommentCase{"OtherCommentAboveTheNoteStays", true, {}, {"; Unused.", kNote, kLine}, {"; Unused."}},
        CommentCase{"TwoSemicolonsKeepOne", true, {}, {";", ";", "; [NEVER CALLED BY THIS rom]", kLine}, {";"}},
        // Each note takes the lone ";" that is last at its turn, however many of them came in a row.
        CommentCase{"NotesTakeTheSemicolonsOneByOne", true, {";"},
                    {"; a", ";", ";", ";", kNote, kNote, kNote, kNote, ";", kNote, kLine}, {";", "; a"}},
        CommentCase{"SemicolonAlreadyInTheOutput", true, {"; Last", ";"}, {kNote, "  RET", kLine}, {"; Last", "  RET"}},
        CommentCase{"NoteInsideALine", true, {}, {"  RET ; Exit. [Never called by this ROM] See.", kLine}, {}},
        CommentCase{"NoteOnAnEmptyOutput", true, {}, {kNote, kLine}, {}},
        CommentCase{"NoteEndsWithItsBracket", true, {";"}, {"; Never called by this ROM, it seems.", kLine},
                    {";", "; Never called by this ROM, it seems."}}),
    [](const testing::TestParamInfo<CommentCase>& paramInfo) { return std::string(paramInfo.param.name); });
// clang-format on

}  // namespace
}  // namespace veltrin
