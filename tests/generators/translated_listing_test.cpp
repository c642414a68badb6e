#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "generators/model_listings.h"
#include "support/sample_listing.h"

namespace veltrin {
namespace {

using testing_support::IndexOfLineStartingWith;
using testing_support::RecordingHost;
using testing_support::SampleListing;

using Generator = bool (*)(const SourceLines&, OutputLines&, ConversionHost&);

OutputLines Listing(Generator generate, const SourceLines& source = SampleListing()) {
    OutputLines output{""};
    RecordingHost host;
    EXPECT_TRUE(generate(source, output, host));
    EXPECT_TRUE(host.messages.empty());
    return output;
}

// A line with every label and hexadecimal address blanked out.
std::string WithoutAddresses(std::string_view line) {
    static const std::regex kAddress("(L|\\$)[0-9A-F]{4}");
    return std::regex_replace(std::string(line), kAddress, "$1....");
}

// The lines that the two translated models write in their own words.
bool IsTranslatedText(std::string_view line) {
    static const std::set<std::string_view> kOwnLines{
        "; *********************************************", "; *** SPANISH SPECTRUM +2 ROM 0 DISASSEMBLY ***",
        "; regenerate the Spanish Spectrum +2 listing.",   "; ********************************************",
        "; *** FRENCH SPECTRUM +2 ROM 0 DISASSEMBLY ***",  "; regenerate the French Spectrum +2 listing."};
    return kOwnLines.contains(line) || line.find("DEFM \"") != std::string_view::npos ||
           line.find("'+$80") != std::string_view::npos;
}

TEST(TranslatedListings, DifferOnlyInTheirTextsAddressesAndFreeSpace) {
    const OutputLines spanish = Listing(CreateSpanishListing);
    const OutputLines french = Listing(CreateFrenchListing);
    ASSERT_EQ(spanish.size(), french.size() + 1);  // 7 + 17 lines of free space against 7 + 16

    const std::size_t spanishFree = IndexOfLineStartingWith(spanish, "L3FB8:  DEFB $00, $00, $00, $00");
    const std::size_t frenchFree = IndexOfLineStartingWith(french, "L3FBB:  DEFB $00, $00, $00, $00");
    ASSERT_EQ(spanishFree, frenchFree);
    EXPECT_EQ(spanish[spanishFree + 17], "        DEFB $00, $00, $00");
    EXPECT_EQ(french[frenchFree + 17], spanish[spanishFree + 18]);

    int ownTexts = 0;
    for (std::size_t index = 1; index < french.size(); ++index) {
        const ListingLine& spanishLine = spanish[index <= frenchFree + 16 ? index : index + 1];
        const ListingLine& frenchLine = french[index];
        if (spanishLine == frenchLine) {
            continue;
        }
        if (IsTranslatedText(spanishLine) && IsTranslatedText(frenchLine)) {
            ++ownTexts;
            continue;
        }
        EXPECT_EQ(WithoutAddresses(spanishLine), WithoutAddresses(frenchLine)) << "line " << index;
    }
    EXPECT_GE(ownTexts, 3 + 1 + 20);
}

TEST(TranslatedListings, LabelledMenuLinesComeOutAtEachModelsAddress) {
    const OutputLines spanish = Listing(CreateSpanishListing);
    const OutputLines french = Listing(CreateFrenchListing);
    for (const char* line : {"L277A:  DEFM \"Carg. cint\"", "L2785:  DEFM \"128 BASI\"", "L278E:  DEFM \"Calculador\"",
                             "L27B2:  DEFB $06          ; Number of entries.",
                             "L27EC:  DEFB $03          ; Number of entries.", "L2808:  DEFB $16,$00,$00  ; AT 0,0;"}) {
        EXPECT_NE(IndexOfLineStartingWith(spanish, line), 0U) << line;
    }
    for (const char* line : {"L277A:  DEFM \"Cassett\"", "L2782:  DEFM \"BASIC 128\"", "L278C:  DEFM \"Calculatric\"",
                             "L27B2:  DEFB $06          ; Number of entries.",
                             "L27EE:  DEFB $03          ; Number of entries.", "L280B:  DEFB $16,$00,$00  ; AT 0,0;"}) {
        EXPECT_NE(IndexOfLineStartingWith(french, line), 0U) << line;
    }
}

TEST(TranslatedListings, EditAndCalculatorMenusAreTitledWithTheirOwnWord) {
    const OutputLines spanish = Listing(CreateSpanishListing);
    const OutputLines french = Listing(CreateFrenchListing);
    EXPECT_EQ(std::count(spanish.begin(), spanish.end(), "        DEFM \"Opciones\""), 2);
    EXPECT_EQ(std::count(french.begin(), french.end(), "        DEFM \"Options \""), 2);
}

TEST(TranslatedListings, InsertTheEnglishTapeSentenceInComments) {
    for (const Generator generate : {CreateSpanishListing, CreateFrenchListing}) {
        const OutputLines output = Listing(generate);
        EXPECT_GE(std::count_if(output.begin(), output.end(),
                                [](std::string_view line) {
                                    return line.find("Insert tape and press PLAY. To cancel - press BREAK twice") !=
                                           std::string::npos;
                                }),
                  1);
    }
}

}  // namespace
}  // namespace veltrin
