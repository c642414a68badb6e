#include "toolkit/address_map.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "support/data_table.h"

namespace veltrin {
namespace {

constexpr TargetModel kEn = TargetModel::kEnglish, kEs = TargetModel::kSpanish, kFr = TargetModel::kFrench;
constexpr TargetModel kModels[] = {kEn, kEs, kFr};

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

// Texts that are not four upper-case digits: reading stops at the first character that is no digit, five digits
// lie above ROM 0 and leading zeros do not count.
TEST(RelocateAddressTest, OddTexts) {
    const struct {
        TargetModel model;
        const char* input;
        const char* expected;
    } rows[] = {
        {kEn, "123", "0123"},   {kEs, "7", "0007"},    {kEn, "57D", "059C"},   {kFr, "05a0", "05BF"},
        {kEn, "27eb", "27FC"},  {kEn, "G000", "0000"}, {kEs, "$27EB", "0000"}, {kEn, "ABEL", "0ADD"},
        {kEs, "2744:", "2763"}, {kEn, "8000", "8000"}, {kFr, "ffff", "FFFF"},  {kEn, "1057D", "057D"},
        {kEn, "0057D", "059C"},
    };
    for (const TargetModel model : kModels) {
        EXPECT_EQ(RelocateAddress("", model), "") << "model " << static_cast<int>(model);
    }
    for (const auto& row : rows) {
        EXPECT_EQ(RelocateAddress(row.input, row.model), row.expected)
            << '"' << row.input << "\" model " << static_cast<int>(row.model);
    }
}

}  // namespace
}  // namespace veltrin
