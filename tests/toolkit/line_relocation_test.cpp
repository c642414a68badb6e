#include "toolkit/line_relocation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/data_table.h"
#include "toolkit/hex_address.h"

namespace veltrin {
namespace {

TEST(HexAddressTest, CharactersOneToThreeAndTheLastMustBeDigits) {
    for (const std::vector<std::string>& row : testing_support::ReadDataTable("hex_addresses.txt")) {
        EXPECT_EQ(IsHexAddress(row.at(0)), row.at(1) == "yes") << '"' << row[0] << '"';
    }
}

TEST(RelocateLineTest, RelocatesTheLabelAndTheFirstOperandReference) {
    std::string scratch;
    for (const std::vector<std::string>& row : testing_support::ReadDataTable("relocated_lines.txt")) {
        EXPECT_EQ(RelocateLine(row.at(1), testing_support::ModelNamed(row.at(0)), scratch), row.at(2))
            << row[0] << ": " << row[1];
    }
}

}  // namespace
}  // namespace veltrin
