// The toolkit's rules that the tables of tests/data give row by row: relocation, hexadecimal addresses and the
// wording of error texts.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "support/data_table.h"
#include "toolkit/address_map.h"
#include "toolkit/hex_address.h"
#include "toolkit/line_relocation.h"
#include "toolkit/text.h"

namespace veltrin {
namespace {

using Row = std::vector<std::string>;
using testing_support::ModelNamed;
using testing_support::ReadDataTable;

std::string Hex4(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value));
    return text;
}

TEST(RelocateAddressTest, EveryRangeOfEveryModelMovesAsAWhole) {
    for (const Row& row : ReadDataTable("address_ranges.txt")) {
        SCOPED_TRACE(row.at(0) + " range from " + row.at(1));
        const auto number = [&row](std::size_t field) {
            return static_cast<std::uint32_t>(std::stoul(row.at(field), nullptr, 16));
        };
        EXPECT_EQ(RelocateAddress(Hex4(number(2) - 1), ModelNamed(row[0])), row.at(4));
        for (std::uint32_t address = number(1); address < number(2); ++address) {
            ASSERT_EQ(RelocateAddress(Hex4(address), ModelNamed(row[0])), Hex4(number(3) + address - number(1)));
        }
    }
}

TEST(RelocateAddressTest, OddTexts) {
    for (const Row& row : ReadDataTable("address_texts.txt")) {
        EXPECT_EQ(RelocateAddress(row.at(1), ModelNamed(row[0])), row.at(2)) << row[1];
    }
}

TEST(HexAddressTest, CharactersOneToThreeAndTheLastMustBeDigits) {
    for (const Row& row : ReadDataTable("hex_addresses.txt")) {
        EXPECT_EQ(IsHexAddress(row.at(0)), row.at(1) == "yes") << '"' << row[0] << '"';
    }
}

TEST(RelocateLineTest, RelocatesTheLabelAndTheFirstOperandReference) {
    std::string scratch;
    for (const Row& row : ReadDataTable("relocated_lines.txt")) {
        EXPECT_EQ(RelocateLine(row.at(1), ModelNamed(row.at(0)), scratch), row.at(2)) << row[0] << ": " << row[1];
    }
}

TEST(MidSentenceTest, WordsAnErrorAsTheMiddleOfASentence) {
    for (const Row& row : ReadDataTable("error_texts.txt")) {
        EXPECT_EQ(MidSentence(testing_support::Unescaped(row.at(0))), row.at(1)) << row[0];
    }
}

}  // namespace
}  // namespace veltrin
