#include "generators/translated_script.h"

#include "generators/common_steps.h"

namespace veltrin {

namespace {

// Every menu ends with an empty line and the $A0 end marker.
constexpr std::string_view kMenuEndMarker = R"(        DEFB ' '+$80      ; $A0. End marker.)";

}  // namespace

void TranslatedScript(ListingScript& script, const TranslatedTexts& texts) {
    script.StartListing(texts.title);
    CopyReleaseNotesAndCopyright(script, texts.regenerateLine);
    CopyMainMenuJumpTable(script);

    script.CopyUntilLabel("L275E", LabelMode::kUpToLabelLine, "Failed to copy until label L275E");
    script.AppendRelocated(texts.mainMenuOptions);
    script.AppendRelocated({"", kMenuEndMarker});
    script.SkipUntilLabel("L2790", LabelMode::kLeaveHeader, "Failed to find label L2790");  // 128 main menu texts

    script.CopyUntilLabel("L27A0", LabelMode::kUpToLabelLine, "Failed to copy until label L27A0");
    script.AppendRelocated({"L27A0:  DEFB $06          ; Number of entries.", texts.optionsTitle, "        DEFB $FF"});
    script.AppendRelocated(texts.editMenuOptions);
    script.AppendRelocated({"", kMenuEndMarker});
    script.SkipUntilLabel("L27CB", LabelMode::kLeaveHeader, "Failed to find label L27CB");  // 128 edit menu texts

    script.CopyUntilLabel("L27D2", LabelMode::kUpToLabelLine, "Failed to copy until label L27D2");
    script.AppendRelocated({"L27D2:  DEFB $03          ; Number of entries.", texts.optionsTitle, "        DEFB $FF"});
    script.AppendRelocated(texts.calculatorMenuOptions);
    script.AppendRelocated({"", kMenuEndMarker});
    script.SkipUntilLabel("L27EB", LabelMode::kLeaveHeader, "Failed to find label L27EB");  // 128 calculator menu texts

    script.CopyUntilLabel("L27EB", LabelMode::kUpToLabelLine,
                          "Failed to copy until label L27EB");  // its comment header
    script.AppendRelocated({
        "L27EB:  DEFB $16,$00,$00  ; AT 0,0;",
        "        DEFB $10,$00      ; INK 0;",
        "        DEFB $11,$07      ; PAPER 7;",
        "        DEFB $13,$00      ; BRIGHT 1;",
        texts.insertTapeRow,
        "        DEFB $0D",
        texts.cancelRow,
        "        DEFB 's'+$80",
    });
    script.SkipUntilLabel("L2811", LabelMode::kLeaveHeader, "Failed to find label L2811");  // 128 Tape Loader message

    CopyToEndWithoutTapeTester(script, texts.unusedSpace);
}

}  // namespace veltrin
