#include "toolkit/block_primitives.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/conversion_host.h"
#include "toolkit/listing_lines.h"

namespace veltrin {
namespace {

using testing::ElementsAre;

// A host that counts the yields and notes what the caller's cursor and output held at each of them.
class RecordingHost : public ConversionHost {
  public:
    RecordingHost(const SourceIndex* sourceIndex = nullptr, const OutputLines* outputLines = nullptr)
        : sourceIndex_(sourceIndex), outputLines_(outputLines) {}

    void Yield() override {
        ++yieldCount;
        if (sourceIndex_ != nullptr) {
            indexAtYield.push_back(*sourceIndex_);
        }
        if (outputLines_ != nullptr) {
            outputAtYield.push_back(*outputLines_);
        }
    }

    void ShowMessage(std::string_view /*message*/, std::string_view /*title*/) override { ++messageCount; }

    int yieldCount = 0;
    int messageCount = 0;
    std::vector<SourceIndex> indexAtYield;
    std::vector<OutputLines> outputAtYield;

  private:
    const SourceIndex* sourceIndex_;
    const OutputLines* outputLines_;
};

// A source listing as loaded from a file: element 0 stands for no line.
SourceLines Listing(std::initializer_list<const char*> lines) {
    SourceLines listing{""};
    for (const char* line : lines) {
        listing.emplace_back(line);
    }
    return listing;
}

// ---------------------------------------------------------------------------------------------------------------

TEST(TrimTrailingWhitespaceTest, RemovesEveryMixOfTrailingSpacesAndTabs) {
    EXPECT_EQ(TrimTrailingWhitespace("LD   A,B \t \t"), "LD   A,B");
    EXPECT_EQ(TrimTrailingWhitespace("RET\t\t"), "RET");
    EXPECT_EQ(TrimTrailingWhitespace("RET  "), "RET");
}

TEST(TrimTrailingWhitespaceTest, WhitespaceOnlyTextBecomesEmpty) {
    EXPECT_EQ(TrimTrailingWhitespace("\t"), "");
    EXPECT_EQ(TrimTrailingWhitespace(" \t  \t"), "");
    EXPECT_EQ(TrimTrailingWhitespace(""), "");
}

TEST(TrimTrailingWhitespaceTest, KeepsLeadingAndInnerWhitespace) {
    EXPECT_EQ(TrimTrailingWhitespace("   ; Comment"), "   ; Comment");
    EXPECT_EQ(TrimTrailingWhitespace("\t; Comment \t"), "\t; Comment");
    EXPECT_EQ(TrimTrailingWhitespace("L2744:\t DEFB  $04"), "L2744:\t DEFB  $04");
}

TEST(TrimTrailingWhitespaceTest, OtherControlCharactersAreNotWhitespace) {
    EXPECT_EQ(TrimTrailingWhitespace("RET\r"), "RET\r");
    EXPECT_EQ(TrimTrailingWhitespace("RET \r "), "RET \r");
}

// ---------------------------------------------------------------------------------------------------------------
// CopyUntilLabel

// A routine, then the next label with a header of an empty line and two comment lines.
SourceLines RoutineThenHeaderedLabel() {
    return Listing({
        "        RET",         // 1
        "",                    // 2
        "; ----------------",  // 3
        "; Next routine",      // 4
        "L2744:  DEFB $04",    // 5
        "        DEFW L2754",  // 6
    });
}

TEST(CopyUntilLabelTest, LeaveHeaderModeCopiesUpToTheLastCodeLineAndLeavesTheHeader) {
    const SourceLines source = RoutineThenHeaderedLabel();
    SourceIndex index = 1;
    OutputLines output{""};
    RecordingHost host;
    EXPECT_TRUE(CopyUntilLabel("L2744", index, source, output, kLeaveHeader, kEnglishModel, host));
    EXPECT_EQ(index, 2);
    EXPECT_THAT(output, ElementsAre("", "        RET"));
    EXPECT_EQ(host.yieldCount, 1);
    EXPECT_EQ(host.messageCount, 0);
}

TEST(CopyUntilLabelTest, UpToLabelLineModeCopiesEverythingBeforeTheLabel) {
    const SourceLines source = RoutineThenHeaderedLabel();
    SourceIndex index = 1;
    OutputLines output{""};
    RecordingHost host;
    EXPECT_TRUE(CopyUntilLabel("L2744", index, source, output, kUpToLabelLine, kEnglishModel, host));
    EXPECT_EQ(index, 5);
    EXPECT_THAT(output, ElementsAre("", "        RET", "", "; ----------------", "; Next routine"));
    EXPECT_EQ(host.yieldCount, 1);
}

TEST(CopyUntilLabelTest, OtherModeValuesCopyNothingAndLeaveTheCursor) {
    for (const LabelMode mode : {LabelMode{2}, LabelMode{-1}, LabelMode{100}}) {
        SCOPED_TRACE(mode);
        const SourceLines source = RoutineThenHeaderedLabel();
        SourceIndex index = 1;
        OutputLines output{""};
        RecordingHost host;
        EXPECT_TRUE(CopyUntilLabel("L2744", index, source, output, mode, kEnglishModel, host));
        EXPECT_EQ(index, 1);
        EXPECT_THAT(output, ElementsAre(""));
        EXPECT_EQ(host.yieldCount, 1);
    }
}

TEST(CopyUntilLabelTest, LabelOnTheLineAtTheCursorCopiesNothing) {
    for (const LabelMode mode : {kLeaveHeader, kUpToLabelLine}) {
        SCOPED_TRACE(mode);
        const SourceLines source = RoutineThenHeaderedLabel();
        SourceIndex index = 5;
        OutputLines output{""};
        RecordingHost host;
        EXPECT_TRUE(CopyUntilLabel("L2744", index, source, output, mode, kEnglishModel, host));
        EXPECT_EQ(index, 5);
        EXPECT_THAT(output, ElementsAre(""));
        EXPECT_EQ(host.yieldCount, 1);
    }
}

TEST(CopyUntilLabelTest, OnlyHeaderLinesBeforeTheLabelCopyNothingInLeaveHeaderMode) {
    const SourceLines source = RoutineThenHeaderedLabel();
    SourceIndex index = 2;
    OutputLines output{""};
    RecordingHost host;
    EXPECT_TRUE(CopyUntilLabel("L2744", index, source, output, kLeaveHeader, kEnglishModel, host));
    EXPECT_EQ(index, 2);
    EXPECT_THAT(output, ElementsAre(""));
    EXPECT_EQ(host.yieldCount, 1);
}

TEST(CopyUntilLabelTest, HeaderIsOnlyTheRunDirectlyAboveTheLabel) {
    // Comment lines between code lines belong to the code above the header.
    const SourceLines source = Listing({
        "        LD   A,B",  // 1
        "; Middle note",     // 2
        "",                  // 3
        "        RET",       // 4
        "",                  // 5
        "; Header",          // 6
        "L2744:  NOP",       // 7
    });
    SourceIndex index = 1;
    OutputLines output{""};
    RecordingHost host;
    EXPECT_TRUE(CopyUntilLabel("L2744", index, source, output, kLeaveHeader, kEnglishModel, host));
    EXPECT_EQ(index, 5);
    EXPECT_THAT(output, ElementsAre("", "        LD   A,B", "; Middle note", "", "        RET"));
}

TEST(CopyUntilLabelTest, IndentedCommentAboveTheLabelCountsAsCode) {
    for (const char* indentedComment : {"   ; Indented note", "\t; Indented note"}) {
        SCOPED_TRACE(indentedComment);
        const SourceLines source = Listing({"        RET", "", indentedComment, "L2744:  NOP"});
        SourceIndex index = 1;
        OutputLines output{""};
        RecordingHost host;
        EXPECT_TRUE(CopyUntilLabel("L2744", index, source, output, kLeaveHeader, kEnglishModel, host));
        EXPECT_EQ(index, 4);
        EXPECT_THAT(output, ElementsAre("", "        RET", "", indentedComment));
    }
}

TEST(CopyUntilLabelTest, WhitespaceOnlyLinesBelongToTheHeader) {
    const SourceLines source = Listing({"        RET", " \t ", "\t", "L2744:  NOP"});
    SourceIndex index = 1;
    OutputLines output{""};
    RecordingHost host;
    EXPECT_TRUE(CopyUntilLabel("L2744", index, source, output, kLeaveHeader, kEnglishModel, host));
    EXPECT_EQ(index, 2);
    EXPECT_THAT(output, ElementsAre("", "        RET"));
}

TEST(CopyUntilLabelTest, LabelIsMatchedInAnyCase) {
    {
        const SourceLines source = Listing({"        RET", "l27eb:  defb $16"});
        SourceIndex index = 1;
        OutputLines output{""};
        RecordingHost host;
        EXPECT_TRUE(CopyUntilLabel("L27EB", index, source, output, kUpToLabelLine, kEnglishModel, host));
        EXPECT_EQ(index, 2);
    }
    {
        // The ":" is also added to a label given in lower case.
        const SourceLines source = Listing({"        RET", "L27EB0  NOP", "L27EB:  DEFB $16"});
        SourceIndex index = 1;
        OutputLines output{""};
        RecordingHost host;
        EXPECT_TRUE(CopyUntilLabel("l27eb", index, source, output, kUpToLabelLine, kEnglishModel, host));
        EXPECT_EQ(index, 3);
    }
}

TEST(CopyUntilLabelTest, LabelFollowedByAnotherCharacterThanTheColonDoesNotMatch) {
    const SourceLines source = Listing({
        "L27440: NOP",          // 1: a further digit
        "L2744  NOP",           // 2: a blank
        "L2744",                // 3: the label alone
        "        JP   L2744:",  // 4: not at the start of the line
        " L2744: NOP",          // 5: indented
        "L2744:  NOP",          // 6
    });
    SourceIndex index = 1;
    OutputLines output{""};
    RecordingHost host;
    EXPECT_TRUE(CopyUntilLabel("L2744", index, source, output, kUpToLabelLine, TargetModel{-1}, host));
    EXPECT_EQ(index, 6);
    EXPECT_EQ(output.size(), 6U);
}

TEST(CopyUntilLabelTest, OtherTextMatchesAnyLineThatBeginsWithItInAnyCase) {
    for (const char* releaseLine : {"; Release Date", "; RELEASE DATE: 1986", "; release date and more"}) {
        SCOPED_TRACE(releaseLine);
        const SourceLines source = Listing({
            ";",                 // 1
            "; Version",         // 2
            "  ; Release Date",  // 3: indented, does not begin with the text
            "; Release",         // 4: shorter than the text
            releaseLine,         // 5
        });
        SourceIndex index = 1;
        OutputLines output{""};
        RecordingHost host;
        EXPECT_TRUE(CopyUntilLabel("; Release Date", index, source, output, kUpToLabelLine, kEnglishModel, host));
        EXPECT_EQ(index, 5);
        EXPECT_THAT(output, ElementsAre("", ";", "; Version", "  ; Release Date", "; Release"));
        EXPECT_EQ(host.yieldCount, 1);
    }
}

TEST(CopyUntilLabelTest, CopiedLinesCarryTheAddressesOfTheModelPassedIn) {
    const SourceLines source = Listing({"L281C:  DEFW L27EB", "        JP   L2769", "L385A:  RET"});
    const struct {
        TargetModel model;
        std::vector<std::string> expected;
    } cases[] = {
        {kEnglishModel, {"", "L2842:  DEFW L27FC", "        JP   L2785"}},
        {kSpanishModel, {"", "L2854:  DEFW L2808", "        JP   L2785"}},
        {kFrenchModel, {"", "L2857:  DEFW L280B", "        JP   L2782"}},
        {TargetModel{5}, {"", "L281C:  DEFW L27EB", "        JP   L2769"}},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.model);
        SourceIndex index = 1;
        OutputLines output{""};
        RecordingHost host;
        EXPECT_TRUE(CopyUntilLabel("L385A", index, source, output, kLeaveHeader, testCase.model, host));
        EXPECT_EQ(output, testCase.expected);
        EXPECT_EQ(index, 3);
    }
}

TEST(CopyUntilLabelTest, AppendsAfterTheExistingOutput) {
    const SourceLines source = RoutineThenHeaderedLabel();
    SourceIndex index = 1;
    OutputLines output{"", "; Title", ";"};
    RecordingHost host;
    EXPECT_TRUE(CopyUntilLabel("L2744", index, source, output, kLeaveHeader, kEnglishModel, host));
    EXPECT_THAT(output, ElementsAre("", "; Title", ";", "        RET"));
}

TEST(CopyUntilLabelTest, YieldsOnceAfterTheBlockIsCopied) {
    const SourceLines source = RoutineThenHeaderedLabel();
    SourceIndex index = 1;
    OutputLines output{""};
    RecordingHost host(&index, &output);
    EXPECT_TRUE(CopyUntilLabel("L2744", index, source, output, kLeaveHeader, kEnglishModel, host));
    ASSERT_EQ(host.yieldCount, 1);
    EXPECT_THAT(host.indexAtYield, ElementsAre(2));
    EXPECT_THAT(host.outputAtYield.front(), ElementsAre("", "        RET"));
}

TEST(CopyUntilLabelTest, CancellationDuringTheYieldReachesTheCaller) {
    class CancellingHost : public ConversionHost {
      public:
        void Yield() override { throw RunCancelled{}; }
    };
    const SourceLines source = RoutineThenHeaderedLabel();
    SourceIndex index = 1;
    OutputLines output{""};
    CancellingHost host;
    EXPECT_THROW(CopyUntilLabel("L2744", index, source, output, kLeaveHeader, kEnglishModel, host), RunCancelled);
}

TEST(CopyUntilLabelTest, MissingLabelLeavesTheCursorPastTheLastLineAndTheOutputAlone) {
    const SourceLines source = RoutineThenHeaderedLabel();
    for (const LabelMode mode : {kLeaveHeader, kUpToLabelLine}) {
        SCOPED_TRACE(mode);
        SourceIndex index = 1;
        OutputLines output{"", "kept"};
        RecordingHost host;
        EXPECT_FALSE(CopyUntilLabel("L2745", index, source, output, mode, kEnglishModel, host));
        EXPECT_EQ(index, 7);
        EXPECT_THAT(output, ElementsAre("", "kept"));
        EXPECT_EQ(host.yieldCount, 0);
        EXPECT_EQ(host.messageCount, 0);
    }
}

TEST(CopyUntilLabelTest, LabelAboveTheCursorIsNotFound) {
    const SourceLines source = RoutineThenHeaderedLabel();
    SourceIndex index = 6;
    OutputLines output{""};
    RecordingHost host;
    EXPECT_FALSE(CopyUntilLabel("L2744", index, source, output, kLeaveHeader, kEnglishModel, host));
    EXPECT_EQ(index, 7);
    EXPECT_THAT(output, ElementsAre(""));
}

TEST(CopyUntilLabelTest, ScanFromTheEmptyElementZeroIsAllowed) {
    const SourceLines source = RoutineThenHeaderedLabel();
    SourceIndex index = 0;
    OutputLines output{""};
    RecordingHost host;
    EXPECT_TRUE(CopyUntilLabel("L2744", index, source, output, kLeaveHeader, kEnglishModel, host));
    EXPECT_EQ(index, 2);
    EXPECT_THAT(output, ElementsAre("", "", "        RET"));
}

TEST(CopyUntilLabelTest, CursorOutsideTheListingThrows) {
    const SourceLines source = RoutineThenHeaderedLabel();
    for (const SourceIndex start : {SourceIndex{-1}, SourceIndex{7}, SourceIndex{100}}) {
        SCOPED_TRACE(start);
        SourceIndex index = start;
        OutputLines output{""};
        RecordingHost host;
        EXPECT_THROW(CopyUntilLabel("L2744", index, source, output, kLeaveHeader, kEnglishModel, host),
                     SourceIndexError);
        EXPECT_THAT(output, ElementsAre(""));
        EXPECT_EQ(host.yieldCount, 0);
    }
}

TEST(CopyUntilLabelTest, EmptyListingThrows) {
    const SourceLines source;
    SourceIndex index = 0;
    OutputLines output{""};
    RecordingHost host;
    EXPECT_THROW(CopyUntilLabel("L2744", index, source, output, kUpToLabelLine, kEnglishModel, host), SourceIndexError);
    EXPECT_EQ(host.yieldCount, 0);
}

// ---------------------------------------------------------------------------------------------------------------
// SkipUntilLabel

TEST(SkipUntilLabelTest, LeaveHeaderModeDropsTheCodeAndLeavesTheHeader) {
    const SourceLines source = RoutineThenHeaderedLabel();
    SourceIndex index = 1;
    RecordingHost host(&index);
    EXPECT_TRUE(SkipUntilLabel("L2744", index, source, kLeaveHeader, host));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(host.yieldCount, 1);
    EXPECT_THAT(host.indexAtYield, ElementsAre(2));
    EXPECT_EQ(host.messageCount, 0);
}

TEST(SkipUntilLabelTest, UpToLabelLineModeDropsEverythingBeforeTheLabel) {
    const SourceLines source = RoutineThenHeaderedLabel();
    SourceIndex index = 1;
    RecordingHost host;
    EXPECT_TRUE(SkipUntilLabel("L2744", index, source, kUpToLabelLine, host));
    EXPECT_EQ(index, 5);
    EXPECT_EQ(host.yieldCount, 1);
}

TEST(SkipUntilLabelTest, IndentedCommentAboveTheLabelIsDroppedWithTheCode) {
    const SourceLines source = Listing({"        RET", "; Header", "  ; Indented note", "L057D:  NOP"});
    SourceIndex index = 1;
    RecordingHost host;
    EXPECT_TRUE(SkipUntilLabel("L057D", index, source, kLeaveHeader, host));
    EXPECT_EQ(index, 4);
}

TEST(SkipUntilLabelTest, OtherModeValuesDropNothing) {
    for (const LabelMode mode : {LabelMode{2}, LabelMode{-1}}) {
        SCOPED_TRACE(mode);
        const SourceLines source = RoutineThenHeaderedLabel();
        SourceIndex index = 1;
        RecordingHost host;
        EXPECT_TRUE(SkipUntilLabel("L2744", index, source, mode, host));
        EXPECT_EQ(index, 1);
        EXPECT_EQ(host.yieldCount, 1);
    }
}

TEST(SkipUntilLabelTest, LabelOnTheLineAtTheCursorDropsNothing) {
    const SourceLines source = RoutineThenHeaderedLabel();
    SourceIndex index = 5;
    RecordingHost host;
    EXPECT_TRUE(SkipUntilLabel("L2744", index, source, kLeaveHeader, host));
    EXPECT_EQ(index, 5);
    EXPECT_EQ(host.yieldCount, 1);
}

TEST(SkipUntilLabelTest, LabelLineInLowerCaseMatches) {
    const SourceLines source = Listing({"        RET", "l27eb:  nop"});
    SourceIndex index = 1;
    RecordingHost host;
    EXPECT_TRUE(SkipUntilLabel("L27EB", index, source, kUpToLabelLine, host));
    EXPECT_EQ(index, 2);
}

TEST(SkipUntilLabelTest, LabelFollowedByAnotherCharacterThanTheColonDoesNotMatch) {
    const SourceLines source = Listing({"L057D0: NOP", "L057D  NOP", "L057D", "L057D:  NOP"});
    SourceIndex index = 1;
    RecordingHost host;
    EXPECT_TRUE(SkipUntilLabel("L057D", index, source, kUpToLabelLine, host));
    EXPECT_EQ(index, 4);
}

TEST(SkipUntilLabelTest, MissingLabelLeavesTheCursorPastTheLastLineWithoutYield) {
    const SourceLines source = RoutineThenHeaderedLabel();
    SourceIndex index = 2;
    RecordingHost host;
    EXPECT_FALSE(SkipUntilLabel("L3C63", index, source, kLeaveHeader, host));
    EXPECT_EQ(index, 7);
    EXPECT_EQ(host.yieldCount, 0);
    EXPECT_EQ(host.messageCount, 0);
}

TEST(SkipUntilLabelTest, CursorOutsideTheListingThrows) {
    const SourceLines source = RoutineThenHeaderedLabel();
    for (const SourceIndex start : {SourceIndex{-1}, SourceIndex{7}, SourceIndex{8}}) {
        SCOPED_TRACE(start);
        SourceIndex index = start;
        RecordingHost host;
        EXPECT_THROW(SkipUntilLabel("L2744", index, source, kLeaveHeader, host), SourceIndexError);
        EXPECT_EQ(host.yieldCount, 0);
    }
    const SourceLines empty;
    SourceIndex index = 0;
    RecordingHost host;
    EXPECT_THROW(SkipUntilLabel("L2744", index, empty, kLeaveHeader, host), SourceIndexError);
}

// ---------------------------------------------------------------------------------------------------------------
// CopyUntilComment

constexpr const char* kTwoScreens =
    " The two screens available on the Spectrum 128, the normal screen in RAM bank 5 ($4000-$5AFF) and the shadow "
    "screen in";

std::string Line(const std::string& before, const char* after = "") { return before + after; }

TEST(CopyUntilCommentTest, CopiesEverythingBeforeTheCommentLineAndStopsOnIt) {
    const SourceLines source = Listing({"L2744:  DEFB $04", "", "; Screens", ""});
    SourceLines withComment = source;
    withComment.push_back(Line(";", kTwoScreens));
    withComment.emplace_back("; RAM bank 7.");
    SourceIndex index = 1;
    OutputLines output{""};
    RecordingHost host(&index, &output);
    EXPECT_TRUE(CopyUntilComment(kTwoScreens, index, withComment, output, kEnglishModel, host));
    EXPECT_EQ(index, 5);
    EXPECT_THAT(output, ElementsAre("", "L2763:  DEFB $04", "", "; Screens", ""));
    ASSERT_EQ(host.yieldCount, 1);
    EXPECT_THAT(host.indexAtYield, ElementsAre(5));
    EXPECT_EQ(host.outputAtYield.front(), output);
    EXPECT_EQ(host.messageCount, 0);
}

TEST(CopyUntilCommentTest, CommentBehindAnInstructionMatches) {
    const SourceLines source{"", "        RET", Line("        LD   A,B        ;", kTwoScreens)};
    SourceIndex index = 1;
    OutputLines output{""};
    RecordingHost host;
    EXPECT_TRUE(CopyUntilComment(kTwoScreens, index, source, output, kEnglishModel, host));
    EXPECT_EQ(index, 2);
    EXPECT_THAT(output, ElementsAre("", "        RET"));
}

TEST(CopyUntilCommentTest, CommentIsMatchedInAnyCase) {
    std::string upper = Line(";", kTwoScreens);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    const SourceLines source{"", "        RET", upper};
    SourceIndex index = 1;
    OutputLines output{""};
    RecordingHost host;
    EXPECT_TRUE(CopyUntilComment(kTwoScreens, index, source, output, kEnglishModel, host));
    EXPECT_EQ(index, 2);
}

TEST(CopyUntilCommentTest, WholeRestOfTheLineMustEqualTheComment) {
    const SourceLines source{
        "",
        Line(";", kTwoScreens) + " RAM bank 7",  // 1: more text after "in"
        Line(";", kTwoScreens) + " ",            // 2: a trailing blank
        Line("; ;", kTwoScreens),                // 3: not behind the first ";"
        Line(";;", kTwoScreens),                 // 4: the rest keeps the second ";"
        Line(";", kTwoScreens),                  // 5
    };
    SourceIndex index = 1;
    OutputLines output{""};
    RecordingHost host;
    EXPECT_TRUE(CopyUntilComment(kTwoScreens, index, source, output, kEnglishModel, host));
    EXPECT_EQ(index, 5);
    EXPECT_EQ(output.size(), 5U);
}

TEST(CopyUntilCommentTest, LineWithoutSemicolonIsComparedWhole) {
    const SourceLines source{"", "        RET", kTwoScreens};
    SourceIndex index = 1;
    OutputLines output{""};
    RecordingHost host;
    EXPECT_TRUE(CopyUntilComment(kTwoScreens, index, source, output, kEnglishModel, host));
    EXPECT_EQ(index, 2);
}

TEST(CopyUntilCommentTest, CommentOnTheLineAtTheCursorCopiesNothing) {
    const SourceLines source{"", Line(";", kTwoScreens), "        RET"};
    SourceIndex index = 1;
    OutputLines output{""};
    RecordingHost host;
    EXPECT_TRUE(CopyUntilComment(kTwoScreens, index, source, output, kEnglishModel, host));
    EXPECT_EQ(index, 1);
    EXPECT_THAT(output, ElementsAre(""));
    EXPECT_EQ(host.yieldCount, 1);
}

TEST(CopyUntilCommentTest, CopiedLinesCarryTheAddressesOfTheModelPassedIn) {
    const SourceLines source{"", "L281C:  CALL L3C63", "        DEFW L2769", Line(";", kTwoScreens)};
    const struct {
        TargetModel model;
        std::vector<std::string> expected;
    } cases[] = {
        {kEnglishModel, {"", "L2842:  CALL L3C0A", "        DEFW L2785"}},
        {kSpanishModel, {"", "L2854:  CALL L3C1C", "        DEFW L2785"}},
        {kFrenchModel, {"", "L2857:  CALL L3C1F", "        DEFW L2782"}},
        {TargetModel{-3}, {"", "L281C:  CALL L3C63", "        DEFW L2769"}},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.model);
        SourceIndex index = 1;
        OutputLines output{""};
        RecordingHost host;
        EXPECT_TRUE(CopyUntilComment(kTwoScreens, index, source, output, testCase.model, host));
        EXPECT_EQ(output, testCase.expected);
    }
}

// The note on code that the 128 never calls is left out, with the lone ";" line above it.
struct NeverCalledCase {
    const char* name;
    std::vector<std::string> outputBefore;
    std::vector<std::string> copiedLines;
    std::vector<std::string> expectedOutput;
};

void PrintTo(const NeverCalledCase& testCase, std::ostream* os) { *os << testCase.name; }

class NeverCalledNoteTest : public testing::TestWithParam<NeverCalledCase> {};

TEST_P(NeverCalledNoteTest, LeavesOutTheNoteAndItsOpeningSemicolon) {
    const NeverCalledCase& testCase = GetParam();
    SourceLines source{""};
    source.insert(source.end(), testCase.copiedLines.begin(), testCase.copiedLines.end());
    source.push_back(Line(";", kTwoScreens));
    SourceIndex index = 1;
    OutputLines output = testCase.outputBefore;
    RecordingHost host;
    EXPECT_TRUE(CopyUntilComment(kTwoScreens, index, source, output, kEnglishModel, host));
    EXPECT_EQ(index, static_cast<SourceIndex>(source.size()) - 1);
    EXPECT_EQ(output, testCase.expectedOutput);
    EXPECT_EQ(host.yieldCount, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Notes, NeverCalledNoteTest,
    testing::Values(
        NeverCalledCase{"LoneSemicolonAndNote",
                        {""},
                        {"        RET", ";", "; [Never called by this ROM]", "L2744:  NOP"},
                        {"", "        RET", "L2763:  NOP"}},
        NeverCalledCase{"NoteInAnyCase", {""}, {";", "; [NEVER CALLED BY THIS rom]"}, {""}},
        NeverCalledCase{"OtherCommentAboveTheNoteStays",
                        {""},
                        {"; Unused entry point.", "; [Never called by this ROM]"},
                        {"", "; Unused entry point."}},
        NeverCalledCase{"SemicolonWithABlankIsNotLone", {""}, {"; ", "; [Never called by this ROM]"}, {"", "; "}},
        NeverCalledCase{"TwoSemicolonLinesKeepOne", {""}, {";", ";", "; [Never called by this ROM]"}, {"", ";"}},
        NeverCalledCase{"SemicolonAlreadyInTheOutput",
                        {"", "; Previous block", ";"},
                        {"; [Never called by this ROM]", "        RET"},
                        {"", "; Previous block", "        RET"}},
        NeverCalledCase{
            "NoteWithTextAroundIt", {""}, {";", "L3C63:  RET ; Exit. [Never called by this ROM] See above."}, {""}},
        NeverCalledCase{"NoteWithoutItsBracketStays",
                        {""},
                        {";", "; Never called by this ROM"},
                        {"", ";", "; Never called by this ROM"}},
        NeverCalledCase{"TwoNotes",
                        {""},
                        {";", "; [Never called by this ROM]", "        RET", ";", "; [Never called by this ROM]"},
                        {"", "        RET"}},
        NeverCalledCase{"NoteOnAnEmptyOutput", {}, {"; [Never called by this ROM]", "        RET"}, {"        RET"}}),
    [](const testing::TestParamInfo<NeverCalledCase>& paramInfo) { return std::string(paramInfo.param.name); });

TEST(CopyUntilCommentTest, MissingCommentLeavesTheCursorPastTheLastLineAndTheOutputAlone) {
    const SourceLines source{"", "        RET", ";", "; [Never called by this ROM]", Line(";", kTwoScreens) + "."};
    SourceIndex index = 1;
    OutputLines output{"", ";"};
    RecordingHost host;
    EXPECT_FALSE(CopyUntilComment(kTwoScreens, index, source, output, kEnglishModel, host));
    EXPECT_EQ(index, 5);
    EXPECT_THAT(output, ElementsAre("", ";"));
    EXPECT_EQ(host.yieldCount, 0);
    EXPECT_EQ(host.messageCount, 0);
}

TEST(CopyUntilCommentTest, CursorOutsideTheListingThrows) {
    const SourceLines source{"", "        RET", Line(";", kTwoScreens)};
    for (const SourceIndex start : {SourceIndex{-1}, SourceIndex{3}, SourceIndex{4}}) {
        SCOPED_TRACE(start);
        SourceIndex index = start;
        OutputLines output{""};
        RecordingHost host;
        EXPECT_THROW(CopyUntilComment(kTwoScreens, index, source, output, kEnglishModel, host), SourceIndexError);
        EXPECT_THAT(output, ElementsAre(""));
        EXPECT_EQ(host.yieldCount, 0);
    }
    const SourceLines empty;
    SourceIndex index = 0;
    OutputLines output{""};
    RecordingHost host;
    EXPECT_THROW(CopyUntilComment(kTwoScreens, index, empty, output, kEnglishModel, host), SourceIndexError);
}

}  // namespace
}  // namespace veltrin
