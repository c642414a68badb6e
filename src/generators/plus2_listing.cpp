#include "generators/common_steps.h"
#include "generators/listing_script.h"
#include "generators/model_listings.h"

namespace veltrin {

namespace {

constexpr TitleBlock kEnglishTitle{
    "; *************************************",
    "; *** SPECTRUM +2 ROM 0 DISASSEMBLY ***",
    "; *************************************",
};

constexpr UnusedSpaceBlock kEnglishUnusedSpace{"L3FA6:  DEFB $00, $00, $00, $00", 21, "        DEFB $00"};

// The English +2 keeps the 128 menu texts but the "Tape Tester" option, and shows its Tape Loader message
// one row higher with "Insert tape and press PLAY" in front of it.
void EnglishScript(ListingScript& script) {
    script.StartListing(kEnglishTitle);
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
    CopyToEndWithoutTapeTester(script, kEnglishUnusedSpace);
}

}  // namespace

bool CreatePlus2Listing(const SourceLines& sourceLines, LineSink& listing, ConversionHost& host) {
    return RunListingScript(sourceLines, listing, TargetModel::kEnglish, host, EnglishScript);
}

}  // namespace veltrin
