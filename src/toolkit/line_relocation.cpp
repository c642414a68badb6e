#include "toolkit/line_relocation.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "toolkit/address_map.h"
#include "toolkit/hex_address.h"
#include "toolkit/text.h"

namespace veltrin {

namespace {

constexpr std::size_t kLabelLength = 5;  // "L" and four digits; the ":" follows in column 6

std::string_view TrimLeadingSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

// The statement split in front of its operand.
struct OperandSplit {
    std::string_view head;
    std::string_view operand;
};

OperandSplit SplitOperand(std::string_view statement) {
    // After a comma comes the operand of a conditional jump, a register load or the second word of a DEFW.
    const std::size_t comma = statement.find(',');
    if (comma != std::string_view::npos) {
        return {statement.substr(0, comma + 1), statement.substr(comma + 1)};
    }
    // The mnemonic is looked for behind the first character, which is the ":" of a label line or the first
    // indent of an instruction line. The head takes the mnemonic and one more character, so that the "L"
    // of CALL is never taken for a label.
    static constexpr auto kJumpMnemonics = std::to_array<std::string_view>({"JP", "JR", "CALL", "DJNZ", "DEFW"});
    const std::string_view trimmed = TrimLeadingSpaces(Slice(statement, 1));
    for (const std::string_view mnemonic : kJumpMnemonics) {
        if (trimmed.starts_with(mnemonic)) {
            const std::size_t headLength = std::min(statement.find(mnemonic) + mnemonic.size() + 1, statement.size());
            return {statement.substr(0, headLength), statement.substr(headLength)};
        }
    }
    return {{}, statement};
}

}  // namespace

std::string_view RelocateLine(std::string_view line, TargetModel targetModel, std::string& scratch) {
    const std::size_t semicolon = line.find(';');
    const std::string_view code = line.substr(0, semicolon);
    if (code.empty()) {
        return line;
    }
    const std::string_view comment = semicolon == std::string_view::npos ? std::string_view{} : line.substr(semicolon);

    std::string_view labelPrefix;
    std::string_view labelAddress;
    std::string_view statement = code;
    if (code.size() > kLabelLength && code[0] == 'L' && code[kLabelLength] == ':') {
        labelPrefix = code.substr(0, 1);
        labelAddress = code.substr(1, kLabelLength - 1);
        statement = code.substr(kLabelLength);
    }

    const OperandSplit split = SplitOperand(statement);
    // Only the first "L" of the operand is examined; when no address follows it, the operand stays as it is.
    std::string_view referencePrefix = split.operand;
    std::string_view referenceAddress;
    std::string_view referenceTail;
    const std::size_t letter = split.operand.find('L');
    if (letter != std::string_view::npos) {
        const std::string_view candidate = Slice(split.operand, letter + 1, kLabelLength - 1);
        if (IsHexAddress(candidate)) {
            referencePrefix = split.operand.substr(0, letter + 1);
            referenceAddress = candidate;
            referenceTail = Slice(split.operand, letter + kLabelLength);
        }
    }
    if (labelAddress.empty() && referenceAddress.empty()) {
        return line;
    }

    scratch.clear();
    scratch.append(labelPrefix)
        .append(RelocateAddress(labelAddress, targetModel))
        .append(split.head)
        .append(referencePrefix)
        .append(RelocateAddress(referenceAddress, targetModel))
        .append(referenceTail)
        .append(comment);
    return scratch;
}

}  // namespace veltrin
