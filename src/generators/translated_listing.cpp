#include <array>
#include <string_view>

#include "generators/common_steps.h"
#include "generators/listing_script.h"
#include "generators/model_listings.h"

namespace veltrin {

namespace {

// What a translated +2 model brings of its own to the one script that the Spanish and French models share.
// Menu and message lines are written with their 128 labels and leave with the model's.
struct TranslatedModel {
    TargetModel targetModel;
    TitleBlock title;
    std::string_view regenerateLine;
    std::array<std::string_view, 8> mainMenuOptions;        // Tape Loader, 128 BASIC, Calculator, 48 BASIC
    std::string_view optionsTitle;                          // heads the edit and the calculator menu
    std::array<std::string_view, 10> editMenuOptions;       // 128 BASIC, Renumber, Screen, Print, Exit
    std::array<std::string_view, 4> calculatorMenuOptions;  // Calculator, Exit
    std::string_view insertTapeRow;                         // the two rows of the Tape Loader message
    std::string_view cancelRow;
    UnusedSpaceBlock unusedSpace;
};

constexpr TranslatedModel kSpanish{
    TargetModel::kSpanish,
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

constexpr TranslatedModel kFrench{
    TargetModel::kFrench,
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

// Every menu ends with an empty line and the $A0 end marker.
constexpr std::string_view kMenuEndMarker = R"(        DEFB ' '+$80      ; $A0. End marker.)";

// The translated models replace the texts of all three menus and the whole Tape Loader message.
void TranslatedScript(ListingScript& script, const TranslatedModel& model) {
    script.StartListing(model.title);
    CopyReleaseNotesAndCopyright(script, model.regenerateLine);
    CopyMainMenuJumpTable(script);

    script.CopyUntilLabel("L275E", LabelMode::kUpToLabelLine, "Failed to copy until label L275E");
    script.AppendRelocated(model.mainMenuOptions);
    script.AppendRelocated({"", kMenuEndMarker});
    script.SkipUntilLabel("L2790", LabelMode::kLeaveHeader, "Failed to find label L2790");  // 128 main menu texts

    script.CopyUntilLabel("L27A0", LabelMode::kUpToLabelLine, "Failed to copy until label L27A0");
    script.AppendRelocated({"L27A0:  DEFB $06          ; Number of entries.", model.optionsTitle, "        DEFB $FF"});
    script.AppendRelocated(model.editMenuOptions);
    script.AppendRelocated({"", kMenuEndMarker});
    script.SkipUntilLabel("L27CB", LabelMode::kLeaveHeader, "Failed to find label L27CB");  // 128 edit menu texts

    script.CopyUntilLabel("L27D2", LabelMode::kUpToLabelLine, "Failed to copy until label L27D2");
    script.AppendRelocated({"L27D2:  DEFB $03          ; Number of entries.", model.optionsTitle, "        DEFB $FF"});
    script.AppendRelocated(model.calculatorMenuOptions);
    script.AppendRelocated({"", kMenuEndMarker});
    script.SkipUntilLabel("L27EB", LabelMode::kLeaveHeader, "Failed to find label L27EB");  // 128 calculator menu texts

    script.CopyUntilLabel("L27EB", LabelMode::kUpToLabelLine,
                          "Failed to copy until label L27EB");  // its comment header
    script.AppendRelocated({
        "L27EB:  DEFB $16,$00,$00  ; AT 0,0;",
        "        DEFB $10,$00      ; INK 0;",
        "        DEFB $11,$07      ; PAPER 7;",
        "        DEFB $13,$00      ; BRIGHT 1;",
        model.insertTapeRow,
        "        DEFB $0D",
        model.cancelRow,
        "        DEFB 's'+$80",
    });
    script.SkipUntilLabel("L2811", LabelMode::kLeaveHeader, "Failed to find label L2811");  // 128 Tape Loader message

    CopyToEndWithoutTapeTester(script, model.unusedSpace);
}

bool CreateTranslatedListing(const SourceLines& sourceLines, LineSink& listing, ConversionHost& host,
                             const TranslatedModel& model) {
    return RunListingScript(sourceLines, listing, model.targetModel, host,
                            [&model](ListingScript& script) { TranslatedScript(script, model); });
}

}  // namespace

bool CreateSpanishListing(const SourceLines& sourceLines, LineSink& listing, ConversionHost& host) {
    return CreateTranslatedListing(sourceLines, listing, host, kSpanish);
}

bool CreateFrenchListing(const SourceLines& sourceLines, LineSink& listing, ConversionHost& host) {
    return CreateTranslatedListing(sourceLines, listing, host, kFrench);
}

}  // namespace veltrin
