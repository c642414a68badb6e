#include "toolkit/address_map.h"

#include <cstdint>

#include "toolkit/hex_address.h"
#include "toolkit/text.h"

namespace veltrin {

namespace {

constexpr std::uint32_t kFirstMovedAddress = 0x057D;  // just past the 128 copyright message
constexpr std::uint32_t kLastRomByte = 0x3FFF;        // stays where it is in every model

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
    for (const AddressRange& range : targetModel.addressRanges) {
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
