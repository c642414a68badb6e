#include "toolkit/address_map.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "support/data_table.h"

namespace veltrin {
namespace {

std::string Hex4(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value));
    return text;
}

TEST(RelocateAddressTest, EveryRangeOfEveryModelMovesAsAWhole) {
    for (const std::vector<std::string>& row : testing_support::ReadDataTable("address_ranges.txt")) {
        SCOPED_TRACE(row.at(0) + " range from " + row.at(1));
        const TargetModel model = testing_support::ModelNamed(row[0]);
        const auto number = [&row](std::size_t field) {
            return static_cast<std::uint32_t>(std::stoul(row.at(field), nullptr, 16));
        };
        EXPECT_EQ(RelocateAddress(Hex4(number(2) - 1), model), row.at(4));
        for (std::uint32_t address = number(1); address < number(2); ++address) {
            ASSERT_EQ(RelocateAddress(Hex4(address), model), Hex4(number(3) + address - number(1)));
        }
    }
}

TEST(RelocateAddressTest, OddTexts) {
    for (const std::vector<std::string>& row : testing_support::ReadDataTable("address_texts.txt")) {
        EXPECT_EQ(RelocateAddress(row.at(1), testing_support::ModelNamed(row[0])), row.at(2)) << row[1];
    }
}

}  // namespace
}  // namespace veltrin
