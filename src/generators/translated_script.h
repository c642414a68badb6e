#pragma once

#include <array>
#include <string_view>

#include "generators/listing_script.h"

namespace veltrin {

// What a translated +2 model brings of its own to the one script that the Spanish and French models share.
// Menu and message lines are written with their 128 labels and leave with the model's.
struct TranslatedTexts {
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

// The translated models replace the texts of all three menus and the whole Tape Loader message.
void TranslatedScript(ListingScript& script, const TranslatedTexts& texts);

}  // namespace veltrin
