#include <array>
#include <string_view>

#include "generators/plus2_models.h"
#include "generators/translated_script.h"

namespace veltrin {

namespace {

// Every bound marks a block whose size differs from the 128: the copyright message, the dropped Tape Tester
// blocks, each menu text and the Tape Loader message in their Spanish wording, and the unused space.
constexpr std::array kAddressRanges{
    AddressRange{0x2754, +31}, AddressRange{0x2784, +28}, AddressRange{0x27B4, +18}, AddressRange{0x27BA, +19},
    AddressRange{0x27BF, +21}, AddressRange{0x27CB, +24}, AddressRange{0x27E7, +26}, AddressRange{0x27F4, +29},
    AddressRange{0x281C, +62}, AddressRange{0x385A, +56}, AddressRange{0x3C63, +51}, AddressRange{0x3FFF, -71},
};

constexpr TranslatedTexts kTexts{
    {
        "; *********************************************",
        "; *** SPANISH SPECTRUM +2 ROM 0 DISASSEMBLY ***",
        "; *********************************************",
    },
    "; regenerate the Spanish Spectrum +2 listing.",
    {
        R"(L275E:  DEFM "Carg. cint")",
        R"(        DEFB 'a'+$80)",
        R"(L2769:  DEFM "128 BASI")",
        R"(        DEFB 'C'+$80)",
        R"(L2772:  DEFM "Calculador")",
        R"(        DEFB 'a'+$80)",
        R"(        DEFM "48 BASI")",
        R"(        DEFB 'C'+$80)",
    },
    R"(        DEFM "Opciones")",
    {
        R"(        DEFM "128 BASI")",
        R"(        DEFB 'C'+$80)",
        R"(        DEFM "Renumera")",
        R"(        DEFB 'r'+$80)",
        R"(        DEFM "Pantall")",
        R"(        DEFB 'a'+$80)",
        R"(        DEFM "Imprima")",
        R"(        DEFB 'r'+$80)",
        R"(        DEFM "Salid")",
        R"(        DEFB 'a'+$80)",
    },
    {
        R"(        DEFM "Calculador")",
        R"(        DEFB 'a'+$80)",
        R"(        DEFM "Salid")",
        R"(        DEFB 'a'+$80)",
    },
    R"(        DEFM "Introduzca la cinta/pulse PLAY")",
    R"(        DEFM "Cancelar: pulse BREAK dos vece")",
    {"L3FB8:  DEFB $00, $00, $00, $00", 16, "        DEFB $00, $00, $00"},
};

void CreateSpanishListing(ListingScript& script) { TranslatedScript(script, kTexts); }

}  // namespace

constinit const Plus2Model kSpanishPlus2{
    .language = Plus2Language::kSpanish,
    .name = "Spanish Spectrum +2",
    .defaultFileName = "Spectrum+2_Spanish_ROM0.asm",
    .option = "--spanish",
    .failureMessage = "Failed to create Spanish Spectrum +2 ROM disassembly",
    .targetModel = {kAddressRanges},
    .script = CreateSpanishListing,
};

}  // namespace veltrin
