#include "generators/closing_passes.h"

#include <cstddef>
#include <string>
#include <string_view>

#include "toolkit/address_map.h"
#include "toolkit/hex_address.h"
#include "toolkit/text.h"

namespace veltrin {

namespace {

constexpr std::string_view kCancelMessage = "To cancel - press BREAK twice";
constexpr std::string_view kInsertTapeMessage = "Insert tape and press PLAY. ";
constexpr std::string_view kRom0Marker = " (ROM 0)";
constexpr std::size_t kAddressDigits = 4;

void RelocateDigitsInPlace(ListingLine& line, std::size_t digitsStart, TargetModel targetModel) {
    line.replace(digitsStart, kAddressDigits,
                 RelocateAddress(std::string_view(line).substr(digitsStart, kAddressDigits), targetModel));
}

// Where to look again after the "$" at dollar, having handled what follows it.
std::size_t RelocateReferenceAt(ListingLine& line, std::size_t dollar, TargetModel targetModel) {
    const std::string_view text = line;
    const std::size_t firstDigits = dollar + 1;
    const std::size_t afterFirst = firstDigits + kAddressDigits;
    if (!IsHexAddress(Slice(text, firstDigits, kAddressDigits))) {
        return dollar + 6;
    }
    if (Slice(text, afterFirst, kRom0Marker.size()) == kRom0Marker) {
        RelocateDigitsInPlace(line, firstDigits, targetModel);
        return dollar + 6;
    }
    // A range, "$xxxx-$xxxx", carries one marker for both ends.
    const std::size_t secondDigits = afterFirst + 2;
    if (Slice(text, afterFirst, 2) == "-$" && IsHexAddress(Slice(text, secondDigits, kAddressDigits))) {
        const std::size_t afterSecond = secondDigits + kAddressDigits;
        if (Slice(text, afterSecond, kRom0Marker.size()) == kRom0Marker) {
            RelocateDigitsInPlace(line, firstDigits, targetModel);
            RelocateDigitsInPlace(line, secondDigits, targetModel);
            return afterSecond + kRom0Marker.size();
        }
        return afterSecond;
    }
    return dollar + 6;
}

}  // namespace

void UpdateTapeLoaderMessage(OutputLines& outputLines) {
    for (std::size_t index = 1; index < outputLines.size(); ++index) {
        ListingLine& line = outputLines[index];
        const std::size_t found = line.find(kCancelMessage);
        if (found != std::string_view::npos) {
            line.insert(found, kInsertTapeMessage);
        }
    }
}

void RelocateRom0References(OutputLines& outputLines, TargetModel targetModel) {
    for (std::size_t index = 1; index < outputLines.size(); ++index) {
        ListingLine& line = outputLines[index];
        // Only comments are read: an operand such as $2744 in front of the ";" is the code's own business.
        const std::size_t semicolon = line.find(';');
        std::size_t position = semicolon == std::string_view::npos ? 0 : semicolon + 1;
        for (std::size_t dollar = line.find('$', position); dollar != std::string_view::npos;
             dollar = line.find('$', position)) {
            position = RelocateReferenceAt(line, dollar, targetModel);
        }
    }
}

}  // namespace veltrin
