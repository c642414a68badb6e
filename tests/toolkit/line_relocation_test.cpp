#include "toolkit/line_relocation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/data_table.h"
#include "toolkit/hex_address.h"

namespace veltrin {
namespace {

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

TEST(RelocateLineTest, RelocatesTheLabelAndTheFirstOperandReference) {
    for (const std::vector<std::string>& row : testing_support::ReadDataTable("relocated_lines.txt")) {
        EXPECT_EQ(RelocateLine(row.at(1), testing_support::ModelNamed(row.at(0))), row.at(2))
            << row[0] << ": " << row[1];
    }
}

}  // namespace
}  // namespace veltrin
