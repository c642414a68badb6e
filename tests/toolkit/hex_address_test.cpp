#include "toolkit/hex_address.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace veltrin {
namespace {

struct TextVerdict {
    const char* text;
    bool expected;
};

void PrintTo(const TextVerdict& row, std::ostream* os) { *os << '"' << row.text << '"'; }

// ---------------------------------------------------------------------------------------------------------------
// One character: a hexadecimal digit in either case.

class HexDigitTest : public testing::TestWithParam<TextVerdict> {};

TEST_P(HexDigitTest, RecognisesOneDigit) { EXPECT_EQ(IsHexDigit(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Digits, HexDigitTest,
                         testing::Values(TextVerdict{"0", true}, TextVerdict{"5", true}, TextVerdict{"9", true},
                                         TextVerdict{"A", true}, TextVerdict{"C", true}, TextVerdict{"F", true},
                                         TextVerdict{"a", true}, TextVerdict{"c", true}, TextVerdict{"f", true}));

// The neighbours of the digit ranges in the character set, letters past F and the empty text.
INSTANTIATE_TEST_SUITE_P(NotDigits, HexDigitTest,
                         testing::Values(TextVerdict{"", false}, TextVerdict{"/", false}, TextVerdict{":", false},
                                         TextVerdict{"@", false}, TextVerdict{"G", false}, TextVerdict{"g", false},
                                         TextVerdict{"`", false}, TextVerdict{"L", false}, TextVerdict{"l", false},
                                         TextVerdict{"Z", false}, TextVerdict{" ", false}, TextVerdict{"\t", false},
                                         TextVerdict{")", false}, TextVerdict{"$", false}));

TEST(HexDigitTest, EveryCharacterCodeOutsideTheDigitsFails) {
    const std::string digits = "0123456789ABCDEFabcdef";
    for (int code = 1; code < 256; ++code) {
        const std::string text(1, static_cast<char>(code));
        EXPECT_EQ(IsHexDigit(text), digits.find(text) != std::string::npos) << "character code " << code;
    }
}

// ---------------------------------------------------------------------------------------------------------------
// The characters after an "L": the first three and the last must be digits.

class HexAddressTest : public testing::TestWithParam<TextVerdict> {};

TEST_P(HexAddressTest, DecidesFromCharactersOneToThreeAndTheLast) {
    EXPECT_EQ(IsHexAddress(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Addresses, HexAddressTest,
                         testing::Values(TextVerdict{"1234", true}, TextVerdict{"27EB", true},
                                         TextVerdict{"27eb", true}, TextVerdict{"aBcD", true},
                                         TextVerdict{"0000", true}, TextVerdict{"FFFF", true},
                                         // Three digits: the last character is the third.
                                         TextVerdict{"123", true}, TextVerdict{"abc", true},
                                         // Beyond four characters the fourth is not looked at.
                                         TextVerdict{"123X5", true}));

INSTANTIATE_TEST_SUITE_P(NotAddresses, HexAddressTest,
                         testing::Values(TextVerdict{"", false}, TextVerdict{"1", false}, TextVerdict{"12", false},
                                         TextVerdict{"G234", false}, TextVerdict{"1G34", false},
                                         TextVerdict{"12G4", false}, TextVerdict{"123G", false},
                                         TextVerdict{"123 ", false}, TextVerdict{" 123", false},
                                         TextVerdict{"OOP", false}, TextVerdict{")", false}, TextVerdict{"OW L", false},
                                         TextVerdict{"12:", false}, TextVerdict{"1234X", false},
                                         TextVerdict{"12X45", false}));

}  // namespace
}  // namespace veltrin
