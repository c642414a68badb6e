#include "generators/common_steps.h"

namespace veltrin {

namespace {

constexpr std::string_view kTwoScreens128 =
    " The two screens available on the Spectrum 128, the normal screen in RAM bank 5 ($4000-$5AFF) and the shadow "
    "screen in";
constexpr std::string_view kTwoScreensPlus2 =
    "; The two screens available on the Spectrum +2, the normal screen in RAM bank 5 ($4000-$5AFF) and the shadow "
    "screen in";

}  // namespace

void CopyReleaseNotesAndCopyright(ListingScript& script, std::string_view regenerateLine) {
    script.CopyUntilLabel("; Release Date", LabelMode::kUpToLabelLine, "Failed to copy until release label");
    script.CopyLinesVerbatim(3);
    script.Append({
        "; This file was automatically derived from the Spectrum 128 ROM 0 disassembly, using a conversion utility "
        "created by Brannock.",
        "; Any enhancements or corrections should only be made to the Spectrum 128 ROM 0 disassembly and then the "
        "utility used to automatically",
        regenerateLine,
    });
    script.CopyUntilLabel("L0561", LabelMode::kUpToLabelLine, "Failed to copy until label L0561");
    script.AppendRelocated({"L0561:  DEFB $7F ; (c)"});
    script.Append({
        R"(        DEFM "1986, ")",
        R"(        DEFB $7F ; (c))",
        R"(        DEFM "1982 Amstrad Consumer" ; Copyright / Report 'p'.)",
        R"(        DEFB $0D)",
        R"(        DEFM "              Electronics pl")",
        R"(        DEFB 'c'+$80)",
    });
    script.SkipUntilLabel("L057D", LabelMode::kLeaveHeader, "Failed to find label L057D");
}

void CopyMainMenuJumpTable(ListingScript& script) {
    script.CopyUntilLabel("L2744", LabelMode::kUpToLabelLine, "Failed to copy until label L2744");
    script.AppendRelocated({"L2744:  DEFB $04          ; Number of entries."});
    script.AdvanceCursor(1);
    script.CopyLinesRelocated(8);
    script.AdvanceCursor(2);  // the Tape Tester entry
    script.CopyUntilLabel("L2754", LabelMode::kUpToLabelLine, "Failed to copy until label L2754");
    script.AppendRelocated({"L2754:  DEFB $05          ; Number of entries."});
    script.AdvanceCursor(1);
}

void CopyToEndWithoutTapeTester(ListingScript& script, const UnusedSpaceBlock& unusedSpace) {
    script.CopyUntilLabel("L2816", LabelMode::kLeaveHeader, "Failed to copy until label L2816");
    script.SkipUntilLabel("L281C", LabelMode::kLeaveHeader, "Failed to find label L281C");  // menu option handler
    script.CopyUntilLabel("L3852", LabelMode::kUpToLabelLine, "Failed to copy until label L3852");
    script.CopyLinesRelocated(1);
    script.SkipUntilLabel("L385A", LabelMode::kLeaveHeader, "Failed to find label L385A");  // black banner printing
    script.CopyUntilLabel("L3BE9", LabelMode::kLeaveHeader, "Failed to copy until label L3BE9");
    script.SkipUntilLabel("L3C63", LabelMode::kLeaveHeader, "Failed to find label L3C63");  // the Tape Tester itself
    script.CopyUntilLabel("L3FEF", LabelMode::kUpToLabelLine, "Failed to copy until label L3FEF");
    script.CopyLinesRelocated(11);
    script.AppendUnusedSpace(unusedSpace);
    script.CopyUntilComment(kTwoScreens128, "Failed to copy until comment");
    script.AdvanceCursor(1);
    script.Append({kTwoScreensPlus2});
    script.CopyRestVerbatim();
    script.CloseListing();
}

}  // namespace veltrin
