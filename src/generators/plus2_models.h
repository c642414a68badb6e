#pragma once

#include <array>
#include <optional>
#include <stop_token>
#include <string_view>
#include <utility>

#include "generators/listing_script.h"
#include "toolkit/line_sink.h"
#include "toolkit/source_lines.h"
#include "toolkit/target_model.h"

namespace veltrin {

// The +2 models differ only in the language of their menus and messages.
enum class Plus2Language { kEnglish, kSpanish, kFrench };

// Everything in which one +2 model, its listing and its part of a run differ from the others. Each model's facts
// are written in its own file (english_model.cpp, spanish_model.cpp, french_model.cpp), its script among them.
struct Plus2Model {
    Plus2Language language;
    std::string_view name;             // as messages name it: "Spanish Spectrum +2"
    std::string_view defaultFileName;  // of its listing, in the current folder
    std::string_view option;           // veltrin-cli's option for the name of its listing
    std::string_view failureMessage;   // when its listing cannot be derived
    TargetModel targetModel;           // where its routines moved to
    ModelScript script;                // CreatePlus2Listing, CreateSpanishListing or CreateFrenchListing

    // Derives the model's +2 ROM 0 listing from the 128 ROM 0 listing and writes its lines to the sink as they are
    // derived; nothing when the listing is whole, or what ended it: then the lines written so far are not the
    // listing, and the caller drops them. Once `stop` is requested the derivation ends at its next block.
    std::optional<ScriptFailure> CreateListing(const SourceLines& sourceLines, LineSink& listing,
                                               std::stop_token stop) const {
        return RunListingScript(sourceLines, listing, targetModel, std::move(stop), script);
    }
};

extern const Plus2Model kEnglishPlus2;
extern const Plus2Model kSpanishPlus2;
extern const Plus2Model kFrenchPlus2;

using Plus2ModelList = std::array<const Plus2Model*, 3>;

// The models in the order in which a run writes their listings and shows their messages.
inline constexpr Plus2ModelList kPlus2Models{&kEnglishPlus2, &kSpanishPlus2, &kFrenchPlus2};

}  // namespace veltrin
