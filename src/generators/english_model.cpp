#include <array>
#include <string_view>

#include "generators/common_steps.h"
#include "generators/listing_script.h"
#include "generators/plus2_models.h"

namespace veltrin {

namespace {

// Every bound marks a block whose size differs from the 128: the copyright message, the dropped Tape Tester
// blocks, the longer Tape Loader message and the unused space.
constexpr std::array kAddressRanges{
    AddressRange{0x2754, +31}, AddressRange{0x278F, +28}, AddressRange{0x27F4, +17}, AddressRange{0x281C, +44},
    AddressRange{0x385A, +38}, AddressRange{0x3C63, +33}, AddressRange{0x3FFF, -89},
};

constexpr TitleBlock kTitle{
    "; *************************************",
    "; *** SPECTRUM +2 ROM 0 DISASSEMBLY ***",
    "; *************************************",
};

constexpr UnusedSpaceBlock kUnusedSpace{"L3FA6:  DEFB $00, $00, $00, $00", 21, "        DEFB $00"};

// The English +2 keeps the 128 menu texts but the "Tape Tester" option, and shows its Tape Loader message
// one row higher with "Insert tape and press PLAY" in front of it.
void CreatePlus2Listing(ListingScript& script) {
    script.StartListing(kTitle);
    CopyReleaseNotesAndCopyright(script, "; regenerate the Spectrum +2 listing.");
    CopyMainMenuJumpTable(script);
    script.CopyUntilLabel("L2784", LabelMode::kUpToLabelLine, "Failed to copy until label L2784");
    script.AdvanceCursor(2);  // the "Tape Tester" option text
    script.CopyUntilLabel("L27EB", LabelMode::kUpToLabelLine, "Failed to copy until label L27EB");
    script.AdvanceCursor(1);
    script.AppendRelocated({"L27EB:  DEFB $16,$00,$00  ; AT 0,0;"});
    script.CopyLinesRelocated(3);
    script.Append({
        R"(        DEFM "Insert tape and press PLAY")",
        R"(        DEFB $0D)",
    });
    CopyToEndWithoutTapeTester(script, kUnusedSpace);
}

}  // namespace

constinit const Plus2Model kEnglishPlus2{
    .language = Plus2Language::kEnglish,
    .name = "Spectrum +2",
    .defaultFileName = "Spectrum+2_ROM0.asm",
    .option = "--english",
    .failureMessage = "Failed to create Spectrum +2 ROM disassembly",
    .targetModel = {kAddressRanges},
    .script = CreatePlus2Listing,
};

}  // namespace veltrin
