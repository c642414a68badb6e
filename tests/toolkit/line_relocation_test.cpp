#include "toolkit/line_relocation.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <ostream>
#include <string>

#include "toolkit/listing_lines.h"

namespace veltrin {
namespace {

// A listing line given as its indent and the text after it; runs of spaces inside the text are kept as written.
struct IndentedLine {
    std::size_t leadingSpaces;
    const char* input;
    const char* expected;
};

void PrintTo(const IndentedLine& row, std::ostream* os) {
    *os << row.leadingSpaces << " spaces + \"" << row.input << '"';
}

std::string Indented(std::size_t leadingSpaces, const char* text) { return std::string(leadingSpaces, ' ') + text; }

class EnglishLineTest : public testing::TestWithParam<IndentedLine> {};

TEST_P(EnglishLineTest, RelocatesLabelAndFirstOperandReference) {
    const IndentedLine& row = GetParam();
    EXPECT_EQ(RelocateLine(Indented(row.leadingSpaces, row.input), kEnglishModel),
              Indented(row.leadingSpaces, row.expected));
}

INSTANTIATE_TEST_SUITE_P(
    LabelLines, EnglishLineTest,
    testing::Values(IndentedLine{0, "L2744:  DEFB $04          ; Number of entries.",
                                 "L2763:  DEFB $04          ; Number of entries."},
                    IndentedLine{0, "L27EB:  DEFB $16,$00,$00  ; AT 0,0;", "L27FC:  DEFB $16,$00,$00  ; AT 0,0;"},
                    IndentedLine{0, "L1234:  JP  L5678", "L1253:  JP  L5678"}, IndentedLine{0, "L2816:", "L2842:"},
                    IndentedLine{0, "LABEL:  RET", "L0ADD:  RET"},
                    IndentedLine{0, "L3FFF:  DEFB $01", "L3FFF:  DEFB $01"}));

INSTANTIATE_TEST_SUITE_P(
    OperandReferences, EnglishLineTest,
    testing::Values(IndentedLine{8, "JP   L1234", "JP   L1253"},
                    IndentedLine{8, "CALL L3C63      ; Print, then return.", "CALL L3C0A      ; Print, then return."},
                    IndentedLine{8, "DEFW L281C", "DEFW L2842"}, IndentedLine{8, "LD   HL,L2754", "LD   HL,L2770"},
                    IndentedLine{8, "JR   NZ,L27F4", "JR   NZ,L2820"}, IndentedLine{8, "DJNZ L385A", "DJNZ L387B"},
                    IndentedLine{0, "JP L1234", "JP L1253"}, IndentedLine{8, "JP   L123", "JP   L0123"},
                    IndentedLine{8, "DEFW L2744,L2754", "DEFW L2744,L2770"}));

INSTANTIATE_TEST_SUITE_P(UnchangedLines, EnglishLineTest,
                         testing::Values(IndentedLine{0, "; Tape Tester routine", "; Tape Tester routine"},
                                         IndentedLine{8, "PUSH HL", "PUSH HL"},
                                         IndentedLine{8, "CALL LOOP", "CALL LOOP"},
                                         IndentedLine{8, "JP   (HL)", "JP   (HL)"},
                                         IndentedLine{8, "jp   l1234", "jp   l1234"}));

// ---------------------------------------------------------------------------------------------------------------

TEST(LineRelocationModelTest, SameLineGetsEachModelsAddress) {
    EXPECT_EQ(RelocateLine("        DEFW L281C", kEnglishModel), "        DEFW L2842");
    EXPECT_EQ(RelocateLine("        DEFW L281C", kSpanishModel), "        DEFW L2854");
    EXPECT_EQ(RelocateLine("        DEFW L281C", kFrenchModel), "        DEFW L2857");
}

TEST(LineRelocationModelTest, LabelAndReferenceBothFollowTheModel) {
    EXPECT_EQ(RelocateLine("L27EB:  JR   NZ,L2769", kSpanishModel), "L2808:  JR   NZ,L2785");
    EXPECT_EQ(RelocateLine("L27EB:  JR   NZ,L2769", kFrenchModel), "L280B:  JR   NZ,L2782");
}

TEST(LineRelocationModelTest, UnknownModelKeepsAddressesButWritesFourUpperCaseDigits) {
    EXPECT_EQ(RelocateLine("L2744:  JP   L2754", TargetModel{3}), "L2744:  JP   L2754");
    EXPECT_EQ(RelocateLine("        JP   L123", TargetModel{-1}), "        JP   L0123");
    EXPECT_EQ(RelocateLine("l27eb:  JP   L27eb", TargetModel{7}), "l27eb:  JP   L27EB");
}

// ---------------------------------------------------------------------------------------------------------------

TEST(LineRelocationTest, EmptyLineStaysEmpty) { EXPECT_EQ(RelocateLine("", kEnglishModel), ""); }

TEST(LineRelocationTest, IndentedLabelIsRelocatedAsTheOperandReference) {
    EXPECT_EQ(RelocateLine("  L1234: NOP", kEnglishModel), "  L1253: NOP");
}

TEST(LineRelocationTest, ReferenceInsideAnIndexedOperandIsRelocated) {
    EXPECT_EQ(RelocateLine("        LD   A,(IX+L2754)", kEnglishModel), "        LD   A,(IX+L2770)");
}

TEST(LineRelocationTest, AddressesInTheCommentAreUntouched) {
    EXPECT_EQ(RelocateLine("        LD   A,$20          ; See L2754 and \"JP L2754\".", kEnglishModel),
              "        LD   A,$20          ; See L2754 and \"JP L2754\".");
    EXPECT_EQ(RelocateLine("L2744:  RET                 ; Back to L2754.", kEnglishModel),
              "L2763:  RET                 ; Back to L2754.");
    EXPECT_EQ(RelocateLine("; JP L2754", kEnglishModel), "; JP L2754");
}

TEST(LineRelocationTest, CommentStartsAtTheFirstSemicolon) {
    EXPECT_EQ(RelocateLine("        DEFB 1         ; See L2754; then L2744.", kEnglishModel),
              "        DEFB 1         ; See L2754; then L2744.");
}

TEST(LineRelocationTest, CharacterBehindTheMnemonicBelongsToTheHead) {
    // The "L" right behind a jump mnemonic is not the operand's, so no reference is found.
    for (const char* line : {"        JPL2754", "        JRL2754", "        CALLL2754", "        DJNZL2754",
                             "        DEFWL2754", "L2744:  JPL2754"}) {
        EXPECT_EQ(RelocateLine(line, kEnglishModel).substr(5), std::string(line).substr(5)) << line;
    }
    EXPECT_EQ(RelocateLine("        LDIL2754", kEnglishModel), "        LDIL2754");
    EXPECT_EQ(RelocateLine("        XXL2754", kEnglishModel), "        XXL2770");
}

TEST(LineRelocationTest, SemicolonInsideQuotesStartsTheComment) {
    EXPECT_EQ(RelocateLine("        DEFM \"A;\",L2754", kEnglishModel), "        DEFM \"A;\",L2754");
}

TEST(LineRelocationTest, LowerCaseDigitsOfAReferenceAreReadAndWrittenInUpperCase) {
    EXPECT_EQ(RelocateLine("        JP   L27eb", kEnglishModel), "        JP   L27FC");
    EXPECT_EQ(RelocateLine("L27eb:  RET", kEnglishModel), "L27FC:  RET");
}

TEST(LineRelocationTest, TextAfterTheReferenceIsKept) {
    EXPECT_EQ(RelocateLine("        JP   L2754+1        ; Skip.", kEnglishModel),
              "        JP   L2770+1        ; Skip.");
    EXPECT_EQ(RelocateLine("        LD   HL,L2754-L2744", kEnglishModel), "        LD   HL,L2770-L2744");
}

TEST(LineRelocationTest, LabelLineNeedsTheLetterLAndTheColonInColumnSix) {
    // Without the colon in column six the line defines no label; its first "L" is still looked at as a reference.
    EXPECT_EQ(RelocateLine("L2744   RET", kEnglishModel), "L2763   RET");
    EXPECT_EQ(RelocateLine("L274:   RET", kEnglishModel), "L274:   RET");
    EXPECT_EQ(RelocateLine("LOOP:   JP   L2754", kEnglishModel), "LOOP:   JP   L2754");
    // With it, whatever stands in columns two to five is taken as the address.
    EXPECT_EQ(RelocateLine("LOOPS:  JP   L2754", kEnglishModel), "L0000:  JP   L2770");
    EXPECT_EQ(RelocateLine("L27G4:  RET", kEnglishModel), "L0027:  RET");
}

TEST(LineRelocationTest, LabelLineWithACallRelocatesBothAddresses) {
    EXPECT_EQ(RelocateLine("L0561:  CALL L2754", kEnglishModel), "L0561:  CALL L2770");
    EXPECT_EQ(RelocateLine("L2744:  CALL L3C63", kEnglishModel), "L2763:  CALL L3C0A");
}

TEST(LineRelocationTest, MnemonicInColumnOneOfAnUnlabelledLineIsNotRecognised) {
    // The "L" of CALL is then the first "L" of the operand, and it leads to no address.
    EXPECT_EQ(RelocateLine("CALL L2754", kEnglishModel), "CALL L2754");
    // The reference is found when no other "L" stands in front of it.
    EXPECT_EQ(RelocateLine("DJNZ L2754", kEnglishModel), "DJNZ L2770");
}

TEST(LineRelocationTest, OnlySpacesAreSkippedInFrontOfTheMnemonic) {
    EXPECT_EQ(RelocateLine("  CALL L2754", kEnglishModel), "  CALL L2770");
    EXPECT_EQ(RelocateLine(" \tCALL L2754", kEnglishModel), " \tCALL L2754");
    // A tab as the first character is skipped with it.
    EXPECT_EQ(RelocateLine("\tCALL L2754", kEnglishModel), "\tCALL L2770");
}

TEST(LineRelocationTest, OnlyTheFirstLetterLOfTheOperandIsExamined) {
    EXPECT_EQ(RelocateLine("        LD   A,LOW L2754", kEnglishModel), "        LD   A,LOW L2754");
    EXPECT_EQ(RelocateLine("        DEFW LOOP,L2754", kEnglishModel), "        DEFW LOOP,L2770");
}

TEST(LineRelocationTest, OnlyTheTextAfterTheFirstCommaIsSearched) {
    EXPECT_EQ(RelocateLine("        DEFW L2744,L2754,L281C", kEnglishModel), "        DEFW L2744,L2770,L281C");
}

TEST(LineRelocationTest, MnemonicWithoutOperandLeavesTheLineAlone) {
    EXPECT_EQ(RelocateLine("        JP", kEnglishModel), "        JP");
    EXPECT_EQ(RelocateLine("L2744:  CALL", kEnglishModel), "L2763:  CALL");
}

TEST(LineRelocationTest, LowerCaseMnemonicIsNotRecognised) {
    // The "l" of call is not a label letter, so the upper-case reference after it is still found.
    EXPECT_EQ(RelocateLine("        call L2754", kEnglishModel), "        call L2770");
    EXPECT_EQ(RelocateLine("        CALL l2754", kEnglishModel), "        CALL l2754");
}

}  // namespace
}  // namespace veltrin
