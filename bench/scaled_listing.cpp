#include "scaled_listing.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace veltrin::bench {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// The filler comes in runs of 34 routines of 15 lines each: 510 lines with 112 blank lines, 153 comment lines,
// 34 label definitions, 85 code lines with a label operand and 6 " (ROM 0)" references.
constexpr int kRoutinesPerRun = 34;
constexpr unsigned kFirstFillerLabel = 0x2900;  // between the Tape Loader handler ($281C) and $3852
constexpr unsigned kLabelStep = 0x60;

constexpr std::array<std::string_view, 8> kTitles{
    "Print a Message",        "Fetch the Next Character", "Clear the Editing Area", "Find the Line Number",
    "Copy a Block of Memory", "Set the Border Colour",    "Scan the Keyboard",      "Select the RAM Bank",
};

// Text of the notes above the routines: long sentences, cut to lengths of 46 to 119 characters.
constexpr std::string_view kProse =
    "; The routine is entered with HL pointing at the first byte of the text and returns with the carry flag set "
    "when the end marker has been reached, leaving the registers BC and DE untouched for the caller's loop.";

constexpr std::array<std::string_view, 8> kPlainCode{
    "        LD   A,(IY+$01)     ; Fetch FLAGS and test the editing mode.",
    "        AND  $0F            ; Keep the colour bits of the attribute.",
    "        PUSH HL             ; Save the pointer into the buffer.",
    "        LD   (HL),A         ; Store the character in the line.",
    "        INC  HL             ; Step on to the next position.",
    "        EX   DE,HL          ; Swap the source and destination.",
    "        OUT  ($FE),A        ; Set the border colour and the speaker.",
    "        RET                 ; Return to the caller.",
};

constexpr std::array<std::string_view, 6> kOperandCode{
    "        CALL L%04X          ; Print the message at the cursor.",
    "        JP   NZ,L%04X       ; Jump if the line is not finished.",
    "        JR   Z,L%04X        ; Loop back for the next character.",
    "        LD   HL,L%04X       ; Point at the table of key codes.",
    "        DJNZ L%04X          ; Repeat for each byte of the block.",
    "        DEFW L%04X          ; Address of the handler.",
};

// Routines all over ROM 0: some below the first moved address, most moved by one of the model's offsets.
constexpr std::array<unsigned, 7> kTargets{0x0038, 0x1950, 0x22C0, 0x2744, 0x2A40, 0x3C63, 0x05A0};

std::string Formatted(std::string_view pattern, unsigned first, unsigned second = 0) {
    std::array<char, 160> text{};
    const int length = std::snprintf(text.data(), text.size(), std::string(pattern).c_str(), first, second);
    return {text.data(), static_cast<std::size_t>(std::max(length, 0))};
}

void AppendLine(std::string& listing, std::string_view line) {
    listing.append(line);
    listing.append(kLineEnd);
}

// One routine of the filler: a blank line, a header of three lines and its notes, the label line and the code,
// with the other blank lines between groups of code lines.
void AppendRoutine(std::string& listing, int routine, int& operandIndex) {
    const bool longer = routine % 2 == 0;
    const int blankLines = routine % 17 < 5 ? 4 : 3;
    const int commentLines = longer ? 5 : 4;
    const int operandLines = longer ? 2 : 3;
    const int codeLines = 15 - blankLines - commentLines;
    const std::string_view title = kTitles[static_cast<std::size_t>(routine) % kTitles.size()];
    const unsigned label = kFirstFillerLabel + static_cast<unsigned>(routine) * kLabelStep;

    AppendLine(listing, "");
    const std::string rule = "; " + std::string(title.size(), '-');
    AppendLine(listing, rule);
    AppendLine(listing, "; " + std::string(title));
    AppendLine(listing, rule);
    for (int note = 0; note < commentLines - 3; ++note) {
        if (note == 0 && routine % 6 == 0) {
            AppendLine(listing, routine % 12 == 0
                                    ? Formatted("; Called from $%04X (ROM 0) whenever the editor needs a fresh line.",
                                                label + 0x41)
                                    : Formatted("; Works like the routines $%04X-$%04X (ROM 0) but for the lower "
                                                "screen.",
                                                0x2842, 0x2850));
            continue;
        }
        const std::size_t length = 46 + static_cast<std::size_t>((routine * 37 + note * 53) % 74);
        AppendLine(listing, kProse.substr(0, length));
    }
    std::string labelLine = Formatted("L%04X:", label);
    labelLine += std::string(kPlainCode[0]).substr(6);
    AppendLine(listing, labelLine);
    for (int code = 1; code < codeLines; ++code) {
        if (code <= operandLines) {
            const auto pick = static_cast<std::size_t>(operandIndex++);
            AppendLine(listing, Formatted(kOperandCode[pick % kOperandCode.size()], kTargets[pick % kTargets.size()]));
        } else {
            AppendLine(listing, kPlainCode[static_cast<std::size_t>(code + routine) % kPlainCode.size()]);
        }
        if (code < blankLines) {
            AppendLine(listing, "");
        }
    }
}

std::vector<std::string_view> SplitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = bytes.find(kLineEnd, start);
        if (end == std::string_view::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + kLineEnd.size();
    }
    return lines;
}

bool IsUpperHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

bool IsAddressLabelAt(std::string_view text, std::size_t at) {
    return at + 5 <= text.size() && text[at] == 'L' && IsUpperHexDigit(text[at + 1]) && IsUpperHexDigit(text[at + 2]) &&
           IsUpperHexDigit(text[at + 3]) && IsUpperHexDigit(text[at + 4]);
}

}  // namespace

std::string ScaleListing(std::string_view sample, std::size_t lines) {
    const std::vector<std::string_view> sampleLines = SplitLines(sample);
    const auto handler = std::find_if(sampleLines.begin(), sampleLines.end(),
                                      [](std::string_view line) { return line.starts_with("L281C:"); });
    if (handler == sampleLines.end()) {
        throw std::runtime_error("the sample listing has no Tape Loader option handler (L281C)");
    }
    // The filler goes in after the handler's last code line.
    const auto fillerAt = std::find(handler, sampleLines.end(), std::string_view{});
    std::string listing;
    listing.reserve(lines * 48);
    for (auto line = sampleLines.begin(); line != fillerAt; ++line) {
        AppendLine(listing, *line);
    }
    // One run of routines, repeated as often as needed; a repeated label is of no concern to the scripts.
    std::string run;
    int operandIndex = 0;
    for (int routine = 0; routine < kRoutinesPerRun; ++routine) {
        AppendRoutine(run, routine, operandIndex);
    }
    const std::vector<std::string_view> runLines = SplitLines(run);
    const std::size_t fillerLines = lines > sampleLines.size() ? lines - sampleLines.size() : 0;
    for (std::size_t index = 0; index < fillerLines; ++index) {
        AppendLine(listing, runLines[index % runLines.size()]);
    }
    for (auto line = fillerAt; line != sampleLines.end(); ++line) {
        AppendLine(listing, *line);
    }
    return listing;
}

ListingShape MeasureShape(std::string_view bytes) {
    const std::vector<std::string_view> lines = SplitLines(bytes);
    ListingShape shape;
    shape.lines = lines.size();
    std::size_t blank = 0;
    std::size_t comments = 0;
    std::size_t labels = 0;
    std::size_t operands = 0;
    std::size_t rom0 = 0;
    for (const std::string_view line : lines) {
        if (line.find_first_not_of(" \t") == std::string_view::npos) {
            ++blank;
            continue;
        }
        for (std::size_t at = line.find(" (ROM 0)"); at != std::string_view::npos; at = line.find(" (ROM 0)", at + 1)) {
            ++rom0;
        }
        if (line.front() == ';') {
            ++comments;
            shape.longestComment = std::max(shape.longestComment, line.size());
            continue;
        }
        const std::string_view code = line.substr(0, line.find(';'));
        const bool label = IsAddressLabelAt(code, 0) && code.size() > 5 && code[5] == ':';
        labels += label ? 1 : 0;
        for (std::size_t at = label ? 6 : 0; at < code.size(); ++at) {
            if (IsAddressLabelAt(code, at)) {
                ++operands;
                break;
            }
        }
    }
    const auto count = static_cast<double>(std::max<std::size_t>(shape.lines, 1));
    const auto per = [count](std::size_t things) { return things == 0 ? 0.0 : count / static_cast<double>(things); };
    shape.bytesPerLine = static_cast<double>(bytes.size()) / count;
    shape.blankShare = static_cast<double>(blank) / count;
    shape.commentShare = static_cast<double>(comments) / count;
    shape.linesPerLabel = per(labels);
    shape.linesPerOperand = per(operands);
    shape.linesPerRom0 = per(rom0);
    return shape;
}

}  // namespace veltrin::bench
