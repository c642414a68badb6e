#include "toolkit/address_map.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace veltrin {
namespace {

constexpr TargetModel kEn = TargetModel::kEnglish, kEs = TargetModel::kSpanish, kFr = TargetModel::kFrench;
constexpr TargetModel kModels[] = {kEn, kEs, kFr};

std::string Hex4(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value));
    return text;
}

// The ranges of each model as documented: every address from the lower bound up to the upper bound (exclusive)
// moves by the same amount, from the first new address to the last. Nothing moves below the end of the copyright
// message nor from the last ROM byte up.
TEST(RelocateAddressTest, EveryRangeOfEveryModelMovesAsAWhole) {
    const struct {
        TargetModel model;
        std::uint32_t lower, upper, firstNew, lastNew;
    } ranges[] = {
        {kEn, 0x0000, 0x057D, 0x0000, 0x057C},  {kEs, 0x0000, 0x057D, 0x0000, 0x057C},
        {kFr, 0x0000, 0x057D, 0x0000, 0x057C},  {kEn, 0x3FFF, 0x10000, 0x3FFF, 0xFFFF},
        {kEs, 0x3FFF, 0x10000, 0x3FFF, 0xFFFF}, {kFr, 0x3FFF, 0x10000, 0x3FFF, 0xFFFF},
        {kEn, 0x057D, 0x2754, 0x059C, 0x2772},  {kEn, 0x2754, 0x278F, 0x2770, 0x27AA},
        {kEn, 0x278F, 0x27F4, 0x27A0, 0x2804},  {kEn, 0x27F4, 0x281C, 0x2820, 0x2847},
        {kEn, 0x281C, 0x385A, 0x2842, 0x387F},  {kEn, 0x385A, 0x3C63, 0x387B, 0x3C83},
        {kEn, 0x3C63, 0x3FFF, 0x3C0A, 0x3FA5},  {kEs, 0x057D, 0x2754, 0x059C, 0x2772},
        {kEs, 0x2754, 0x2784, 0x2770, 0x279F},  {kEs, 0x2784, 0x27B4, 0x2796, 0x27C5},
        {kEs, 0x27B4, 0x27BA, 0x27C7, 0x27CC},  {kEs, 0x27BA, 0x27BF, 0x27CF, 0x27D3},
        {kEs, 0x27BF, 0x27CB, 0x27D7, 0x27E2},  {kEs, 0x27CB, 0x27E7, 0x27E5, 0x2800},
        {kEs, 0x27E7, 0x27F4, 0x2804, 0x2810},  {kEs, 0x27F4, 0x281C, 0x2832, 0x2859},
        {kEs, 0x281C, 0x385A, 0x2854, 0x3891},  {kEs, 0x385A, 0x3C63, 0x388D, 0x3C95},
        {kEs, 0x3C63, 0x3FFF, 0x3C1C, 0x3FB7},  {kFr, 0x057D, 0x2754, 0x059C, 0x2772},
        {kFr, 0x2754, 0x2769, 0x2770, 0x2784},  {kFr, 0x2769, 0x2772, 0x2782, 0x278A},
        {kFr, 0x2772, 0x2784, 0x278C, 0x279D},  {kFr, 0x2784, 0x27B4, 0x2796, 0x27C5},
        {kFr, 0x27B4, 0x27BA, 0x27C7, 0x27CC},  {kFr, 0x27BA, 0x27BF, 0x27CF, 0x27D3},
        {kFr, 0x27BF, 0x27CB, 0x27D7, 0x27E2},  {kFr, 0x27CB, 0x27E7, 0x27E7, 0x2802},
        {kFr, 0x27E7, 0x27F4, 0x2807, 0x2813},  {kFr, 0x27F4, 0x281C, 0x2835, 0x285C},
        {kFr, 0x281C, 0x385A, 0x2857, 0x3894},  {kFr, 0x385A, 0x3C63, 0x3890, 0x3C98},
        {kFr, 0x3C63, 0x3FFF, 0x3C1F, 0x3FBA},
    };
    for (const auto& range : ranges) {
        SCOPED_TRACE("model " + std::to_string(static_cast<int>(range.model)) + " range " + Hex4(range.lower));
        EXPECT_EQ(RelocateAddress(Hex4(range.upper - 1), range.model), Hex4(range.lastNew));
        for (std::uint32_t address = range.lower; address < range.upper; ++address) {
            ASSERT_EQ(RelocateAddress(Hex4(address), range.model), Hex4(range.firstNew + address - range.lower));
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
