#include "generators/closing_passes.h"

#include <algorithm>
#include <cstddef>
#include <functional>

#include "toolkit/address_map.h"
#include "toolkit/hex_address.h"
#include "toolkit/text.h"

namespace veltrin {

namespace {

constexpr std::string_view kCancelMessage = "To cancel - press BREAK twice";
constexpr std::string_view kInsertTapeMessage = "Insert tape and press PLAY. ";
constexpr std::string_view kRom0Marker = " (ROM 0)";
constexpr std::size_t kAddressDigits = 4;

// The line in scratch, once, before its first change.
class LineCopy {
  public:
    LineCopy(std::string_view line, std::string& scratch) : line_(line), scratch_(scratch) {}

    void RelocateDigits(std::size_t digitsStart, TargetModel targetModel) {
        if (!copied_) {
            scratch_.assign(line_);
            copied_ = true;
        }
        scratch_.replace(digitsStart, kAddressDigits,
                         RelocateAddress(line_.substr(digitsStart, kAddressDigits), targetModel));
    }

    [[nodiscard]] std::string_view Result() const { return copied_ ? std::string_view(scratch_) : line_; }

  private:
    std::string_view line_;
    std::string& scratch_;
    bool copied_ = false;
};

// Where to look again after the "$" at dollar, having handled what follows it. The digits that it replaces
// all lie before that point, so the rest of the line reads the same before and after.
std::size_t RelocateReferenceAt(std::string_view text, std::size_t dollar, TargetModel targetModel, LineCopy& copy) {
    const std::size_t firstDigits = dollar + 1;
    const std::size_t afterFirst = firstDigits + kAddressDigits;
    if (!IsHexAddress(Slice(text, firstDigits, kAddressDigits))) {
        return dollar + 6;
    }
    if (Slice(text, afterFirst, kRom0Marker.size()) == kRom0Marker) {
        copy.RelocateDigits(firstDigits, targetModel);
        return afterFirst + kRom0Marker.size();
    }
    // A range, "$xxxx-$xxxx", carries one marker for both ends.
    const std::size_t secondDigits = afterFirst + 2;
    if (Slice(text, afterFirst, 2) == "-$" && IsHexAddress(Slice(text, secondDigits, kAddressDigits))) {
        const std::size_t afterSecond = secondDigits + kAddressDigits;
        if (Slice(text, afterSecond, kRom0Marker.size()) == kRom0Marker) {
            copy.RelocateDigits(firstDigits, targetModel);
            copy.RelocateDigits(secondDigits, targetModel);
            return afterSecond + kRom0Marker.size();
        }
        return afterSecond;
    }
    return dollar + 6;
}

}  // namespace

std::string_view UpdateTapeLoaderMessage(std::string_view line, std::string& scratch) {
    // Every line of a listing is searched, nearly always in vain: a search that skips ahead by the message's
    // length does it in a few steps.
    static const std::boyer_moore_horspool_searcher kCancelSearcher(kCancelMessage.begin(), kCancelMessage.end());
    const std::string_view::const_iterator found = std::search(line.begin(), line.end(), kCancelSearcher);
    if (found == line.end()) {
        return line;
    }
    const auto at = static_cast<std::size_t>(found - line.begin());
    scratch.assign(line.substr(0, at)).append(kInsertTapeMessage).append(line.substr(at));
    return scratch;
}

std::string_view RelocateRom0References(std::string_view line, TargetModel targetModel, std::string& scratch) {
    // Most lines hold no "$" at all.
    if (line.find('$') == std::string_view::npos) {
        return line;
    }
    LineCopy copy(line, scratch);
    // Only comments are read: an operand such as $2744 in front of the ";" is the code's own business.
    const std::size_t semicolon = line.find(';');
    std::size_t position = semicolon == std::string_view::npos ? 0 : semicolon + 1;
    for (std::size_t dollar = line.find('$', position); dollar != std::string_view::npos;
         dollar = line.find('$', position)) {
        position = RelocateReferenceAt(line, dollar, targetModel, copy);
    }
    return copy.Result();
}

}  // namespace veltrin
