#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace veltrin::bench {

// A real annotated Spectrum 128 ROM 0 listing has about 18,400 lines.
inline constexpr std::size_t kRealListingLines = 18'400;

// The sample 128 listing (CR LF lines) grown to about `lines` lines by filling the menu option handlers, between
// the Tape Loader handler and the banner printing, with routines laid out as in a fully annotated listing. Every
// step of the model scripts still finds its labels, counted lines and comments.
std::string ScaleListing(std::string_view sample, std::size_t lines);

// What a listing is made of, measured the way a reader of the listing would count.
struct ListingShape {
    std::size_t lines = 0;
    double bytesPerLine = 0;         // the file's bytes, line ends included, over its lines
    double blankShare = 0;           // empty or only spaces and tabs
    double commentShare = 0;         // a ";" in column 1
    double linesPerLabel = 0;        // lines per address label definition, "Lxxxx:" in column 1
    double linesPerOperand = 0;      // lines per code line that names an "Lxxxx" label in its operand
    double linesPerRom0 = 0;         // lines per " (ROM 0)" reference
    std::size_t longestComment = 0;  // characters
};

ListingShape MeasureShape(std::string_view bytes);

}  // namespace veltrin::bench
