#include <array>
#include <string_view>

#include "generators/plus2_models.h"
#include "generators/translated_script.h"

namespace veltrin {

namespace {

// Every bound marks a block whose size differs from the 128: the copyright message, the dropped Tape Tester
// blocks, each menu text and the Tape Loader message in their French wording, and the unused space.
constexpr std::array kAddressRanges{
    AddressRange{0x2754, +31}, AddressRange{0x2769, +28}, AddressRange{0x2772, +25}, AddressRange{0x2784, +26},
    AddressRange{0x27B4, +18}, AddressRange{0x27BA, +19}, AddressRange{0x27BF, +21}, AddressRange{0x27CB, +24},
    AddressRange{0x27E7, +28}, AddressRange{0x27F4, +32}, AddressRange{0x281C, +65}, AddressRange{0x385A, +59},
    AddressRange{0x3C63, +54}, AddressRange{0x3FFF, -68},
};

constexpr TranslatedTexts kTexts{
    {
        "; ********************************************",
        "; *** FRENCH SPECTRUM +2 ROM 0 DISASSEMBLY ***",
        "; ********************************************",
    },
    "; regenerate the French Spectrum +2 listing.",
    {
        R"(L275E:  DEFM "Cassett")",
        R"(        DEFB 'e'+$80)",
        R"(L2769:  DEFM "BASIC 128")",
        R"(        DEFB 'K'+$80)",
        R"(L2772:  DEFM "Calculatric")",
        R"(        DEFB 'e'+$80)",
        R"(        DEFM "BASIC 48")",
        R"(        DEFB 'K'+$80)",
    },
    R"(        DEFM "Options ")",
    {
        R"(        DEFM "BASIC 128")",
        R"(        DEFB 'K'+$80)",
        R"(        DEFM "Renumerote")",
        R"(        DEFB 'r'+$80)",
        R"(        DEFM "Ecra")",
        R"(        DEFB 'n'+$80)",
        R"(        DEFM "Impressio")",
        R"(        DEFB 'n'+$80)",
        R"(        DEFM "Sorti")",
        R"(        DEFB 'e'+$80)",
    },
    {
        R"(        DEFM "Calculatric")",
        R"(        DEFB 'e'+$80)",
        R"(        DEFM "Sorti")",
        R"(        DEFB 'e'+$80)",
    },
    R"(        DEFM "Mettre la K7, appuyer sur PLAY")",
    R"(        DEFM "Annulation: Touche BREAK 2 foi")",
    {"L3FBB:  DEFB $00, $00, $00, $00", 16, ""},
};

void CreateFrenchListing(ListingScript& script) { TranslatedScript(script, kTexts); }

}  // namespace

constinit const Plus2Model kFrenchPlus2{
    .language = Plus2Language::kFrench,
    .name = "French Spectrum +2",
    .defaultFileName = "Spectrum+2_French_ROM0.asm",
    .option = "--french",
    .failureMessage = "Failed to create French Spectrum +2 ROM disassembly",
    .targetModel = {kAddressRanges},
    .script = CreateFrenchListing,
};

}  // namespace veltrin
