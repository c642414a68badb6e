#include "toolkit/address_map.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>

#include "toolkit/listing_lines.h"

namespace veltrin {
namespace {

constexpr TargetModel kAllModels[] = {kEnglishModel, kSpanishModel, kFrenchModel};

// Four upper-case hexadecimal digits of a number below 0x10000.
std::string Hex4(std::uint32_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(4, '0');
    for (std::size_t i = 0; i < 4; ++i) {
        text[3 - i] = kDigits[(value >> (4 * i)) & 0xFU];
    }
    return text;
}

std::uint32_t FromHex(const std::string& text) { return static_cast<std::uint32_t>(std::stoul(text, nullptr, 16)); }

// ---------------------------------------------------------------------------------------------------------------
// Addresses of well-known places of the 128 ROM 0 and where each +2 model has them.

struct ModelAddresses {
    const char* input;
    const char* english;
    const char* spanish;
    const char* french;
};

void PrintTo(const ModelAddresses& row, std::ostream* os) { *os << row.input; }

class KnownAddressTest : public testing::TestWithParam<ModelAddresses> {};

TEST_P(KnownAddressTest, MovesToTheAddressOfEachModel) {
    const ModelAddresses& row = GetParam();
    EXPECT_EQ(RelocateAddress(row.input, kEnglishModel), row.english);
    EXPECT_EQ(RelocateAddress(row.input, kSpanishModel), row.spanish);
    EXPECT_EQ(RelocateAddress(row.input, kFrenchModel), row.french);
}

INSTANTIATE_TEST_SUITE_P(
    RomAddresses, KnownAddressTest,
    testing::Values(ModelAddresses{"0000", "0000", "0000", "0000"}, ModelAddresses{"057C", "057C", "057C", "057C"},
                    ModelAddresses{"057D", "059C", "059C", "059C"}, ModelAddresses{"2744", "2763", "2763", "2763"},
                    ModelAddresses{"2754", "2770", "2770", "2770"}, ModelAddresses{"2769", "2785", "2785", "2782"},
                    ModelAddresses{"27A0", "27B1", "27B2", "27B2"}, ModelAddresses{"27D2", "27E3", "27EC", "27EE"},
                    ModelAddresses{"27EB", "27FC", "2808", "280B"}, ModelAddresses{"2811", "283D", "284F", "2852"},
                    ModelAddresses{"281C", "2842", "2854", "2857"}, ModelAddresses{"385A", "387B", "388D", "3890"},
                    ModelAddresses{"3C63", "3C0A", "3C1C", "3C1F"}, ModelAddresses{"3FFE", "3FA5", "3FB7", "3FBA"},
                    ModelAddresses{"3FFF", "3FFF", "3FFF", "3FFF"}, ModelAddresses{"5B00", "5B00", "5B00", "5B00"}));

// ---------------------------------------------------------------------------------------------------------------
// Every range of every model: its first and its last address land where the model has them.

struct MovedRange {
    TargetModel model;
    const char* lowerBound;  // inclusive
    const char* upperBound;  // exclusive
    const char* firstNewAddress;
    const char* lastNewAddress;
};

void PrintTo(const MovedRange& range, std::ostream* os) {
    *os << "model " << range.model << " " << range.lowerBound << "-" << range.upperBound;
}

class MovedRangeTest : public testing::TestWithParam<MovedRange> {};

TEST_P(MovedRangeTest, FirstAddressMovesToFirstNewAddress) {
    const MovedRange& range = GetParam();
    EXPECT_EQ(RelocateAddress(range.lowerBound, range.model), range.firstNewAddress);
}

TEST_P(MovedRangeTest, LastAddressMovesToLastNewAddress) {
    const MovedRange& range = GetParam();
    const std::string lastAddress = Hex4(FromHex(range.upperBound) - 1);
    EXPECT_EQ(RelocateAddress(lastAddress, range.model), range.lastNewAddress);
}

TEST_P(MovedRangeTest, EveryAddressOfTheRangeMovesByTheSameAmount) {
    const MovedRange& range = GetParam();
    const std::uint32_t lower = FromHex(range.lowerBound);
    const std::uint32_t upper = FromHex(range.upperBound);
    const std::uint32_t firstNew = FromHex(range.firstNewAddress);
    for (std::uint32_t address = lower; address < upper; ++address) {
        ASSERT_EQ(RelocateAddress(Hex4(address), range.model), Hex4(firstNew + (address - lower)))
            << "address " << Hex4(address);
    }
}

INSTANTIATE_TEST_SUITE_P(EnglishMap, MovedRangeTest,
                         testing::Values(MovedRange{kEnglishModel, "057D", "2754", "059C", "2772"},
                                         MovedRange{kEnglishModel, "2754", "278F", "2770", "27AA"},
                                         MovedRange{kEnglishModel, "278F", "27F4", "27A0", "2804"},
                                         MovedRange{kEnglishModel, "27F4", "281C", "2820", "2847"},
                                         MovedRange{kEnglishModel, "281C", "385A", "2842", "387F"},
                                         MovedRange{kEnglishModel, "385A", "3C63", "387B", "3C83"},
                                         MovedRange{kEnglishModel, "3C63", "3FFF", "3C0A", "3FA5"}));

INSTANTIATE_TEST_SUITE_P(SpanishMap, MovedRangeTest,
                         testing::Values(MovedRange{kSpanishModel, "057D", "2754", "059C", "2772"},
                                         MovedRange{kSpanishModel, "2754", "2784", "2770", "279F"},
                                         MovedRange{kSpanishModel, "2784", "27B4", "2796", "27C5"},
                                         MovedRange{kSpanishModel, "27B4", "27BA", "27C7", "27CC"},
                                         MovedRange{kSpanishModel, "27BA", "27BF", "27CF", "27D3"},
                                         MovedRange{kSpanishModel, "27BF", "27CB", "27D7", "27E2"},
                                         MovedRange{kSpanishModel, "27CB", "27E7", "27E5", "2800"},
                                         MovedRange{kSpanishModel, "27E7", "27F4", "2804", "2810"},
                                         MovedRange{kSpanishModel, "27F4", "281C", "2832", "2859"},
                                         MovedRange{kSpanishModel, "281C", "385A", "2854", "3891"},
                                         MovedRange{kSpanishModel, "385A", "3C63", "388D", "3C95"},
                                         MovedRange{kSpanishModel, "3C63", "3FFF", "3C1C", "3FB7"}));

INSTANTIATE_TEST_SUITE_P(FrenchMap, MovedRangeTest,
                         testing::Values(MovedRange{kFrenchModel, "057D", "2754", "059C", "2772"},
                                         MovedRange{kFrenchModel, "2754", "2769", "2770", "2784"},
                                         MovedRange{kFrenchModel, "2769", "2772", "2782", "278A"},
                                         MovedRange{kFrenchModel, "2772", "2784", "278C", "279D"},
                                         MovedRange{kFrenchModel, "2784", "27B4", "2796", "27C5"},
                                         MovedRange{kFrenchModel, "27B4", "27BA", "27C7", "27CC"},
                                         MovedRange{kFrenchModel, "27BA", "27BF", "27CF", "27D3"},
                                         MovedRange{kFrenchModel, "27BF", "27CB", "27D7", "27E2"},
                                         MovedRange{kFrenchModel, "27CB", "27E7", "27E7", "2802"},
                                         MovedRange{kFrenchModel, "27E7", "27F4", "2807", "2813"},
                                         MovedRange{kFrenchModel, "27F4", "281C", "2835", "285C"},
                                         MovedRange{kFrenchModel, "281C", "385A", "2857", "3894"},
                                         MovedRange{kFrenchModel, "385A", "3C63", "3890", "3C98"},
                                         MovedRange{kFrenchModel, "3C63", "3FFF", "3C1F", "3FBA"}));

// ---------------------------------------------------------------------------------------------------------------
// The edges of the moved stretch and of the ranges.

TEST(AddressMapBoundsTest, CopyrightMessageEndStaysAndTheByteAfterItMovesInEveryModel) {
    for (const TargetModel model : kAllModels) {
        SCOPED_TRACE(model);
        EXPECT_EQ(RelocateAddress("057C", model), "057C");
        EXPECT_EQ(RelocateAddress("057D", model), "059C");
    }
}

TEST(AddressMapBoundsTest, ByteBeforeTheLastRomByteMovesAndTheLastRomByteStays) {
    EXPECT_EQ(RelocateAddress("3FFE", kEnglishModel), "3FA5");
    EXPECT_EQ(RelocateAddress("3FFE", kSpanishModel), "3FB7");
    EXPECT_EQ(RelocateAddress("3FFE", kFrenchModel), "3FBA");
    for (const TargetModel model : kAllModels) {
        SCOPED_TRACE(model);
        EXPECT_EQ(RelocateAddress("3FFF", model), "3FFF");
    }
}

TEST(AddressMapBoundsTest, SpanishMenuBoundIsExclusive) {
    EXPECT_EQ(RelocateAddress("2783", kSpanishModel), "279F");
    EXPECT_EQ(RelocateAddress("2784", kSpanishModel), "2796");
}

TEST(AddressMapBoundsTest, DroppedTapeTesterHandlerSharesItsNewAddressWithTheNextRoutine) {
    EXPECT_EQ(RelocateAddress("2816", kEnglishModel), "2842");
    EXPECT_EQ(RelocateAddress("281C", kEnglishModel), "2842");
}

TEST(AddressMapBoundsTest, EveryAddressFromTheTopOfRomZeroUpStays) {
    for (const TargetModel model : kAllModels) {
        for (std::uint32_t address = 0x3FFF; address <= 0xFFFF; ++address) {
            ASSERT_EQ(RelocateAddress(Hex4(address), model), Hex4(address)) << "model " << model;
        }
    }
}

TEST(AddressMapBoundsTest, EveryAddressBelowTheFirstMovedByteStays) {
    for (const TargetModel model : kAllModels) {
        for (std::uint32_t address = 0; address < 0x057D; ++address) {
            ASSERT_EQ(RelocateAddress(Hex4(address), model), Hex4(address)) << "model " << model;
        }
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Texts that are not four upper-case digits.

TEST(AddressTextTest, EmptyTextGivesEmptyTextInEveryModel) {
    for (const TargetModel model : {kEnglishModel, kSpanishModel, kFrenchModel, TargetModel{3}, TargetModel{-1}}) {
        EXPECT_EQ(RelocateAddress("", model), "") << "model " << model;
    }
}

TEST(AddressTextTest, ShortTextGetsLeadingZeros) {
    for (const TargetModel model : kAllModels) {
        SCOPED_TRACE(model);
        EXPECT_EQ(RelocateAddress("123", model), "0123");
        EXPECT_EQ(RelocateAddress("7", model), "0007");
        EXPECT_EQ(RelocateAddress("0", model), "0000");
    }
}

TEST(AddressTextTest, ShortTextInsideTheMovedStretchStillMoves) {
    EXPECT_EQ(RelocateAddress("57D", kEnglishModel), "059C");
    EXPECT_EQ(RelocateAddress("600", kFrenchModel), "061F");
}

TEST(AddressTextTest, LowerCaseDigitsAreReadAndTheResultIsUpperCase) {
    for (const TargetModel model : kAllModels) {
        SCOPED_TRACE(model);
        EXPECT_EQ(RelocateAddress("05a0", model), "05BF");
        EXPECT_EQ(RelocateAddress("ffff", model), "FFFF");
        EXPECT_EQ(RelocateAddress("3fff", model), "3FFF");
        EXPECT_EQ(RelocateAddress("00ab", model), "00AB");
    }
    EXPECT_EQ(RelocateAddress("27eb", kEnglishModel), "27FC");
    EXPECT_EQ(RelocateAddress("3c63", kSpanishModel), "3C1C");
    EXPECT_EQ(RelocateAddress("27Eb", kFrenchModel), "280B");
}

TEST(AddressTextTest, TextWithoutALeadingDigitIsReadAsZero) {
    for (const TargetModel model : kAllModels) {
        SCOPED_TRACE(model);
        EXPECT_EQ(RelocateAddress("G000", model), "0000");
        EXPECT_EQ(RelocateAddress("LOOP", model), "0000");
        EXPECT_EQ(RelocateAddress(":", model), "0000");
        EXPECT_EQ(RelocateAddress("$27EB", model), "0000");
    }
}

TEST(AddressTextTest, ReadingStopsAtTheFirstCharacterThatIsNotADigit) {
    for (const TargetModel model : kAllModels) {
        SCOPED_TRACE(model);
        EXPECT_EQ(RelocateAddress("ABEL", model), "0ADD");
        EXPECT_EQ(RelocateAddress("2G44", model), "0002");
    }
    EXPECT_EQ(RelocateAddress("2744:", kEnglishModel), "2763");
    EXPECT_EQ(RelocateAddress("281CH", kSpanishModel), "2854");
}

TEST(AddressTextTest, NumberOfMoreThanFourDigitsLiesAboveRomZeroAndKeepsItsLastFourDigits) {
    for (const TargetModel model : kAllModels) {
        SCOPED_TRACE(model);
        // Cut to 16 bits first, these would land inside the moved stretch.
        EXPECT_EQ(RelocateAddress("1057D", model), "057D");
        EXPECT_EQ(RelocateAddress("12744", model), "2744");
    }
    // Leading zeros do not make a number larger.
    for (const TargetModel model : kAllModels) {
        SCOPED_TRACE(model);
        EXPECT_EQ(RelocateAddress("0000057D", model), "059C");
    }
}

// ---------------------------------------------------------------------------------------------------------------
// A model value that names no +2 model.

TEST(UnknownModelTest, NoAddressMovesButTheResultIsStillFourUpperCaseDigits) {
    for (const TargetModel model : {TargetModel{-1}, TargetModel{3}, TargetModel{100},
                                    std::numeric_limits<TargetModel>::max(), std::numeric_limits<TargetModel>::min()}) {
        SCOPED_TRACE(model);
        EXPECT_EQ(RelocateAddress("057D", model), "057D");
        EXPECT_EQ(RelocateAddress("2744", model), "2744");
        EXPECT_EQ(RelocateAddress("281C", model), "281C");
        EXPECT_EQ(RelocateAddress("3FFE", model), "3FFE");
        EXPECT_EQ(RelocateAddress("27eb", model), "27EB");
        EXPECT_EQ(RelocateAddress("7", model), "0007");
        EXPECT_EQ(RelocateAddress("ABEL", model), "0ABE");
    }
}

}  // namespace
}  // namespace veltrin
