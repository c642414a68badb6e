#include "toolkit/address_map.h"

#include <array>
#include <cstdint>
#include <span>

#include "toolkit/hex_address.h"
#include "toolkit/text.h"

namespace veltrin {

namespace {

// One stretch of Spectrum 128 addresses that moves by the same amount in a +2 model.
struct AddressRange {
    std::uint32_t upperBound;  // exclusive; the lower bound is the previous range's upper bound
    std::int32_t offset;
};

constexpr std::uint32_t kFirstMovedAddress = 0x057D;  // just past the 128 copyright message
constexpr std::uint32_t kLastRomByte = 0x3FFF;        // stays where it is in every model

// Every bound marks a block whose size differs from the 128: the copyright message, the dropped Tape Tester
// blocks, the longer Tape Loader message and, in the translated models, the menu texts.
constexpr std::array kEnglishRanges{
    AddressRange{0x2754, +31}, AddressRange{0x278F, +28}, AddressRange{0x27F4, +17}, AddressRange{0x281C, +44},
    AddressRange{0x385A, +38}, AddressRange{0x3C63, +33}, AddressRange{0x3FFF, -89},
};

constexpr std::array kSpanishRanges{
    AddressRange{0x2754, +31}, AddressRange{0x2784, +28}, AddressRange{0x27B4, +18}, AddressRange{0x27BA, +19},
    AddressRange{0x27BF, +21}, AddressRange{0x27CB, +24}, AddressRange{0x27E7, +26}, AddressRange{0x27F4, +29},
    AddressRange{0x281C, +62}, AddressRange{0x385A, +56}, AddressRange{0x3C63, +51}, AddressRange{0x3FFF, -71},
};

constexpr std::array kFrenchRanges{
    AddressRange{0x2754, +31}, AddressRange{0x2769, +28}, AddressRange{0x2772, +25}, AddressRange{0x2784, +26},
    AddressRange{0x27B4, +18}, AddressRange{0x27BA, +19}, AddressRange{0x27BF, +21}, AddressRange{0x27CB, +24},
    AddressRange{0x27E7, +28}, AddressRange{0x27F4, +32}, AddressRange{0x281C, +65}, AddressRange{0x385A, +59},
    AddressRange{0x3C63, +54}, AddressRange{0x3FFF, -68},
};

std::span<const AddressRange> RangesOf(TargetModel targetModel) {
    switch (targetModel) {
        case TargetModel::kEnglish:
            return kEnglishRanges;
        case TargetModel::kSpanish:
            return kSpanishRanges;
        case TargetModel::kFrench:
            return kFrenchRanges;
    }
    return {};
}

std::uint32_t HexDigitValue(char c) {
    const char upper = UpperCase(c);
    return upper <= '9' ? static_cast<std::uint32_t>(upper - '0') : static_cast<std::uint32_t>(upper - 'A' + 10);
}

// The number that the leading hexadecimal digits of a text spell. Only its last four digits are ever written
// back, but a number beyond 16 bits must still be known as such, because it lies above ROM 0 and never moves.
struct HexNumber {
    std::uint32_t lowSixteenBits = 0;
    bool beyondSixteenBits = false;
};

HexNumber ReadHex(std::string_view text) {
    HexNumber number;
    for (const char c : text) {
        if (!IsHexDigit(c)) {
            break;
        }
        const std::uint32_t shifted = (number.lowSixteenBits << 4U) | HexDigitValue(c);
        number.beyondSixteenBits = number.beyondSixteenBits || shifted > 0xFFFFU;
        number.lowSixteenBits = shifted & 0xFFFFU;
    }
    return number;
}

std::uint32_t Relocate(HexNumber number, TargetModel targetModel) {
    const std::uint32_t address = number.lowSixteenBits;
    if (number.beyondSixteenBits || address < kFirstMovedAddress || address >= kLastRomByte) {
        return address;
    }
    for (const AddressRange& range : RangesOf(targetModel)) {
        if (address < range.upperBound) {
            return static_cast<std::uint32_t>(static_cast<std::int32_t>(address) + range.offset);
        }
    }
    return address;
}

}  // namespace

std::string RelocateAddress(std::string_view text, TargetModel targetModel) {
    if (text.empty()) {
        return {};
    }
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const std::uint32_t address = Relocate(ReadHex(text), targetModel);
    std::string result(4, '0');
    for (std::size_t i = 0; i < 4; ++i) {
        result[3 - i] = kDigits[(address >> (4 * i)) & 0xFU];
    }
    return result;
}

}  // namespace veltrin
