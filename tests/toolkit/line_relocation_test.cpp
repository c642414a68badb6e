#include "toolkit/line_relocation.h"

#include <gtest/gtest.h>

#include <string>

#include "toolkit/hex_address.h"

namespace veltrin {
namespace {

TEST(HexAddressTest, OneDigitInEitherCase) {
    const std::string digits = "0123456789ABCDEFabcdef";
    for (int code = 0; code < 256; ++code) {
        const char c = static_cast<char>(code);
        EXPECT_EQ(IsHexDigit(c), digits.find(c) != std::string::npos) << "character code " << code;
    }
}

// The characters after an "L": the first three and the last must be digits.
TEST(HexAddressTest, CharactersOneToThreeAndTheLastMustBeDigits) {
    const struct {
        const char* text;
        bool expected;
    } rows[] = {{"1234", true},  {"27eb", true},   {"123", true},   {"123X5", true}, {"", false},
                {"1", false},    {"12", false},    {"G234", false}, {"1G34", false}, {"12G4", false},
                {"123G", false}, {"1234X", false}, {" 123", false}, {"OOP", false}};
    for (const auto& row : rows) {
        EXPECT_EQ(IsHexAddress(row.text), row.expected) << '"' << row.text << '"';
    }
}

constexpr TargetModel kEn = TargetModel::kEnglish, kEs = TargetModel::kSpanish, kFr = TargetModel::kFrench;

TEST(RelocateLineTest, RelocatesTheLabelAndTheFirstOperandReference) {
    const struct {
        TargetModel model;
        const char* input;
        const char* expected;
    } rows[] = {
        {kEn, "L2744:  DEFB $04          ; Number of entries.", "L2763:  DEFB $04          ; Number of entries."},
        {kEn, "L27EB:  DEFB $16,$00,$00  ; AT 0,0;", "L27FC:  DEFB $16,$00,$00  ; AT 0,0;"},
        {kEn, "L1234:  JP  L5678", "L1253:  JP  L5678"},
        {kEn, "        JP   L1234", "        JP   L1253"},
        {kEn, "        CALL L3C63      ; Print, then return.", "        CALL L3C0A      ; Print, then return."},
        {kEn, "        DEFW L281C", "        DEFW L2842"},
        {kEn, "        LD   HL,L2754", "        LD   HL,L2770"},
        {kEn, "        JR   NZ,L27F4", "        JR   NZ,L2820"},
        {kEn, "        DJNZ L385A", "        DJNZ L387B"},
        {kEn, "JP L1234", "JP L1253"},
        {kEn, "L2816:", "L2842:"},
        {kEn, "; Tape Tester routine", "; Tape Tester routine"},
        {kEn, "        PUSH HL", "        PUSH HL"},
        {kEn, "        CALL LOOP", "        CALL LOOP"},
        {kEn, "        JP   (HL)", "        JP   (HL)"},
        {kEn, "        JP   L123", "        JP   L0123"},
        {kEn, "        DEFW L2744,L2754", "        DEFW L2744,L2770"},
        {kEn, "        jp   l1234", "        jp   l1234"},
        {kEn, "LABEL:  RET", "L0ADD:  RET"},
        {kEn, "L3FFF:  DEFB $01", "L3FFF:  DEFB $01"},
        {kEn, "", ""},
        {kEs, "        DEFW L281C", "        DEFW L2854"},
        {kFr, "        DEFW L281C", "        DEFW L2857"},
        {kEs, "L27EB:  JR   NZ,L2769", "L2808:  JR   NZ,L2785"},
        {kFr, "L27EB:  JR   NZ,L2769", "L280B:  JR   NZ,L2782"},
        // An indented label is only an operand reference; addresses in a comment stay.
        {kEn, "  L1234: NOP", "  L1253: NOP"},
        {kEn, "        LD   A,(IX+L2754)", "        LD   A,(IX+L2770)"},
        {kEn, "L2744:  RET   ; Back to L2754.", "L2763:  RET   ; Back to L2754."},
        {kEn, "        LD   A,$20 ; See L2754 and \"JP L2754\".", "        LD   A,$20 ; See L2754 and \"JP L2754\"."},
        // Only the first "L" of the operand is looked at, the character behind a jump mnemonic is not the operand's,
        // and a mnemonic in column 1 of an unlabelled line is not recognised.
        {kEn, "        LD   A,LOW L2754", "        LD   A,LOW L2754"},
        {kEn, "        JPL2754", "        JPL2754"},
        {kEn, "CALL L2754", "CALL L2754"},
        {kEn, "LOOPS:  JP   L2754", "L0000:  JP   L2770"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(RelocateLine(row.input, row.model), row.expected)
            << "model " << static_cast<int>(row.model) << ": " << row.input;
    }
}

}  // namespace
}  // namespace veltrin
