// Feeds arbitrary lines to RelocateLine and arbitrary texts to RelocateAddress, in the three models.
//
// RelocateAddress: empty text gives empty text; any other text gives exactly four upper-case hexadecimal
// digits. Only ROM 0 addresses from $057D to $3FFE move, by a bounded offset; everything else keeps its value.
// RelocateLine: the result is the line with at most two pieces changed, the label digits of a label line and
// one run of three or four hexadecimal digits that follows an "L" in the code, each replaced by the relocated
// four digits. Nothing else, the comment least of all, changes.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "generators/plus2_models.h"
#include "toolkit/address_map.h"
#include "toolkit/line_relocation.h"

namespace veltrin::fuzzing {
namespace {

const std::array kModels{kEnglishPlus2.targetModel, kSpanishPlus2.targetModel, kFrenchPlus2.targetModel};

constexpr std::uint32_t kFirstMoved = 0x057D;
constexpr std::uint32_t kLastRomByte = 0x3FFF;
constexpr std::uint32_t kSharedUpperRanges = 0x27F4;  // from here the translated offsets are English + 18 / + 21

unsigned DigitValue(char c) {
    const char upper = UpperCase(c);
    return upper <= '9' ? static_cast<unsigned>(upper - '0') : static_cast<unsigned>(upper - 'A' + 10);
}

// The address that the leading hexadecimal digits of a text spell, its last four digits, and whether it
// needs more than four.
struct Address {
    std::uint32_t lowDigits = 0;
    bool wide = false;
};

Address ReadAddress(std::string_view text) {
    Address address;
    for (const char c : text) {
        if (!IsHexCharacter(c)) {
            break;
        }
        const std::uint32_t next = (address.lowDigits << 4U) | DigitValue(c);
        address.wide = address.wide || next > 0xFFFFU;
        address.lowDigits = next & 0xFFFFU;
    }
    return address;
}

bool IsFourUpperDigits(std::string_view text) {
    if (text.size() != 4) {
        return false;
    }
    for (const char c : text) {
        if (!IsUpperHexCharacter(c)) {
            return false;
        }
    }
    return true;
}

bool Moves(const Address& address) {
    return !address.wide && address.lowDigits >= kFirstMoved && address.lowDigits < kLastRomByte;
}

std::uint32_t CheckAddress(std::string_view text, TargetModel model) {
    const std::string result = RelocateAddress(text, model);
    if (text.empty()) {
        Require(result.empty(), "an empty address came back as text", result);
        return 0;
    }
    Require(IsFourUpperDigits(result), "a relocated address is not four upper-case hexadecimal digits", result);
    const Address address = ReadAddress(text);
    const std::uint32_t relocated = ReadAddress(result).lowDigits;
    if (!Moves(address)) {
        Require(relocated == address.lowDigits, "an address that does not move came back changed", text);
        return relocated;
    }
    const auto offset = static_cast<std::int32_t>(relocated) - static_cast<std::int32_t>(address.lowDigits);
    Require(offset != 0 && offset >= -89 && offset <= 65, "a moved address moved by an impossible offset", text);
    Require(relocated < kLastRomByte, "a moved address left ROM 0", text);
    if (address.lowDigits < 0x2754) {
        Require(offset == 31, "an address of the first range did not move by the copyright message", text);
    }
    return relocated;
}

void CheckAddressAcrossModels(std::string_view text) {
    for (const TargetModel model : kModels) {
        CheckAddress(text, model);
    }
    const Address address = ReadAddress(text);
    if (!text.empty() && Moves(address) && address.lowDigits >= kSharedUpperRanges) {
        const std::uint32_t english = CheckAddress(text, kEnglishPlus2.targetModel);
        Require(CheckAddress(text, kSpanishPlus2.targetModel) == english + 18, "Spanish offset is not English + 18",
                text);
        Require(CheckAddress(text, kFrenchPlus2.targetModel) == english + 21, "French offset is not English + 21",
                text);
    }
}

bool StartsWith(std::string_view text, std::string_view start, std::size_t length) {
    return text.size() >= length && start.size() >= length && text.substr(0, length) == start.substr(0, length);
}

// Whether the relocated statement is the statement with one reference, the hexadecimal digits at `digits`
// (three of them only at the very end), replaced by their relocated four digits.
bool IsRelocatedReferenceAt(std::string_view in, std::string_view out, std::size_t digits, TargetModel model) {
    if (digits == 0 || digits > in.size() || in[digits - 1] != 'L' || !StartsWith(in, out, digits)) {
        return false;
    }
    for (const std::size_t width : {std::size_t{4}, std::size_t{3}}) {
        if (digits + width > in.size() || (width == 3 && digits + width != in.size())) {
            continue;
        }
        const std::string_view old = in.substr(digits, width);
        bool allHex = true;
        for (const char c : old) {
            allHex = allHex && IsHexCharacter(c);
        }
        if (!allHex || out.size() < digits + 4) {
            continue;
        }
        if (out.substr(digits, 4) == RelocateAddress(old, model) &&
            in.substr(digits + width) == out.substr(digits + 4)) {
            return true;
        }
    }
    return false;
}

void CheckLine(std::string_view line, TargetModel model) {
    std::string scratch;
    const std::string result(RelocateLine(line, model, scratch));
    const std::string detail = std::string(line) + "  ->  " + result;

    const std::size_t semicolon = line.find(';');
    const std::string_view comment = semicolon == std::string_view::npos ? std::string_view{} : line.substr(semicolon);
    const std::string_view code = line.substr(0, semicolon);
    const std::string_view out = result;
    Require(out.size() >= comment.size() && out.substr(out.size() - comment.size()) == comment,
            "the comment of a relocated line changed", detail);
    const std::string_view outCode = out.substr(0, out.size() - comment.size());
    Require(outCode.size() == code.size() || outCode.size() == code.size() + 1,
            "a relocated line changed its length by more than one digit", detail);

    std::string_view statement = code;
    std::string_view outStatement = outCode;
    if (code.size() > 5 && code[0] == 'L' && code[5] == ':') {
        Require(outCode.size() > 5 && outCode[0] == 'L' && outCode[5] == ':', "a label line lost its label", detail);
        Require(outCode.substr(1, 4) == RelocateAddress(code.substr(1, 4), model),
                "the label of a label line is not its relocated address", detail);
        statement = code.substr(5);
        outStatement = outCode.substr(5);
    }
    if (statement == outStatement) {
        return;
    }
    std::size_t firstDifference = 0;
    while (firstDifference < statement.size() && firstDifference < outStatement.size() &&
           statement[firstDifference] == outStatement[firstDifference]) {
        ++firstDifference;
    }
    const std::size_t earliest = firstDifference >= 3 ? firstDifference - 3 : 0;
    for (std::size_t digits = earliest; digits <= firstDifference; ++digits) {
        if (IsRelocatedReferenceAt(statement, outStatement, digits, model)) {
            return;
        }
    }
    Fail("a relocated line differs from its source outside the label and reference digits", detail);
}

}  // namespace
}  // namespace veltrin::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace veltrin::fuzzing;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (const veltrin::TargetModel model : kModels) {
        CheckLine(input, model);
    }
    CheckAddressAcrossModels(input);
    for (std::size_t length = 0; length <= 5 && length <= input.size(); ++length) {
        CheckAddressAcrossModels(input.substr(0, length));
    }
    // Every "L" of the input as the start of a reference, the way a line hands its digits over.
    for (std::size_t letter = input.find('L'); letter != std::string_view::npos; letter = input.find('L', letter + 1)) {
        CheckAddressAcrossModels(input.substr(letter + 1, 4));
    }
    return 0;
}
