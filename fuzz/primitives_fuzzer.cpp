// Runs the copy and skip primitives on arbitrary listings, keys, cursors and modes.
//
// Input: four header bytes, then text. Byte 0 picks the primitive and the model, byte 1 the mode, byte 2 the
// cursor (a signed byte, with -128 and 127 standing for the extremes of the cursor's range), byte 3 what the
// output listing holds before the call. The text is cut at line feeds: its first line is the label or comment
// searched for, the others are the source listing from element 0 on.
//
// Invariants: a cursor outside the listing throws SourceIndexError and changes nothing; a primitive that does
// not find its block end returns false with the output unchanged and the cursor one past the last line; for one
// that does, what it copied and where it left the cursor follow from the listing as described in
// block_primitives.h.

#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "toolkit/block_primitives.h"
#include "toolkit/line_relocation.h"

namespace veltrin::fuzzing {
namespace {

enum class Primitive { kCopyUntilLabel, kSkipUntilLabel, kCopyUntilComment };

constexpr std::array kModels{TargetModel::kEnglish, TargetModel::kSpanish, TargetModel::kFrench};
constexpr std::array kModes{LabelMode::kLeaveHeader, LabelMode::kUpToLabelLine};

std::string UpperCased(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        c = UpperCase(c);
    }
    return upper;
}

std::vector<std::string> SplitAtLineFeeds(std::string_view text) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n', start)) {
        pieces.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    pieces.emplace_back(text.substr(start));
    return pieces;
}

bool IsTrimmedWhitespace(char c) { return c == ' ' || c == '\t'; }

void CheckTrim(std::string_view text) {
    const std::string trimmed = TrimTrailingWhitespace(text);
    Require(text.substr(0, trimmed.size()) == trimmed, "trimming changed more than the end of a text");
    Require(trimmed.empty() || !IsTrimmedWhitespace(trimmed.back()), "trimming left a space or tab at the end");
    for (const char c : text.substr(trimmed.size())) {
        Require(IsTrimmedWhitespace(c), "trimming took away more than spaces and tabs");
    }
}

bool IsSignificant(std::string_view line, LabelMode mode) {
    if (mode == LabelMode::kUpToLabelLine) {
        return true;
    }
    std::string_view trimmed = line;
    while (!trimmed.empty() && IsTrimmedWhitespace(trimmed.back())) {
        trimmed.remove_suffix(1);
    }
    return !trimmed.empty() && trimmed.front() != ';';
}

// Whether a line ends a label block: its first characters, as many as the key has, upper-cased, are the key.
bool MatchesLabelKey(std::string_view line, std::string_view key) {
    return UpperCased(line.substr(0, key.size())) == key;
}

bool MatchesComment(std::string_view line, std::string_view key) {
    const std::size_t semicolon = line.find(';');
    const std::string_view rest = semicolon == std::string_view::npos ? line : line.substr(semicolon + 1);
    return UpperCased(rest) == key;
}

SourceIndex LineCount(const SourceLines& lines) { return static_cast<SourceIndex>(lines.size()); }

// The first line at or after `from` that ends the block, or the line count when there is none.
template <typename Matches>
SourceIndex FindEnd(const SourceLines& lines, SourceIndex from, Matches matches) {
    SourceIndex index = from;
    while (index < LineCount(lines) && !matches(lines[static_cast<std::size_t>(index)])) {
        ++index;
    }
    return index;
}

// A label search that succeeded: the cursor stops after the last significant line in front of the label.
void CheckLabelWalk(const SourceLines& lines, SourceIndex start, SourceIndex end, SourceIndex cursor, LabelMode mode) {
    Require(cursor >= start && cursor <= end, "a label search left the cursor outside the block");
    for (SourceIndex index = cursor; index < end; ++index) {
        Require(!IsSignificant(lines[static_cast<std::size_t>(index)], mode),
                "a label search left a significant line behind the cursor");
    }
    if (cursor > start) {
        Require(IsSignificant(lines[static_cast<std::size_t>(cursor - 1)], mode),
                "a label search stopped after a line that is not significant");
    }
}

void CheckAppendedRelocated(const OutputLines& before, const OutputLines& after, const SourceLines& lines,
                            SourceIndex from, SourceIndex to, TargetModel model) {
    Require(after.size() == before.size() + static_cast<std::size_t>(to - from),
            "a copy appended another number of lines than it copied");
    for (std::size_t index = 0; index < before.size(); ++index) {
        Require(after[index] == before[index], "a copy changed a line that was already in the output");
    }
    for (SourceIndex index = from; index < to; ++index) {
        Require(std::string_view(after[before.size() + static_cast<std::size_t>(index - from)]) ==
                    RelocateLine(lines[static_cast<std::size_t>(index)], model),
                "a copied line is not the relocated source line");
    }
}

// CopyUntilComment appends every relocated line but a "never called" note, which also takes away a lone ";"
// line just above it, whether that line was copied in the same call or was already the last of the output.
void CheckCommentCopy(const OutputLines& before, const OutputLines& after, const SourceLines& lines, SourceIndex from,
                      SourceIndex to, TargetModel model) {
    OutputLines expected = before;
    for (SourceIndex index = from; index < to; ++index) {
        expected.emplace_back(RelocateLine(lines[static_cast<std::size_t>(index)], model));
        if (UpperCased(expected.back()).find("NEVER CALLED BY THIS ROM]") != std::string::npos) {
            expected.pop_back();
            if (!expected.empty() && expected.back() == ";") {
                expected.pop_back();
            }
        }
    }
    Require(after == expected, "a comment copy did not append the relocated lines without the never-called notes");
}

}  // namespace
}  // namespace veltrin::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace veltrin;
    using namespace veltrin::fuzzing;
    if (size < 4) {
        return 0;
    }
    const auto primitive = static_cast<Primitive>(data[0] % 3);
    const TargetModel model = kModels[(data[0] / 3U) % kModels.size()];
    const LabelMode mode = kModes[data[1] % kModes.size()];
    const auto cursorByte = static_cast<std::int8_t>(data[2]);
    const SourceIndex entryCursor = cursorByte == INT8_MIN   ? INT32_MIN
                                    : cursorByte == INT8_MAX ? INT32_MAX
                                                             : cursorByte;
    static constexpr std::array<std::array<const char*, 2>, 4> kEarlierOutputs{
        {{nullptr, nullptr}, {"", nullptr}, {"", ";"}, {";", "        RET"}}};
    OutputLines output;
    for (const char* line : kEarlierOutputs[data[3] % kEarlierOutputs.size()]) {
        if (line != nullptr) {
            output.emplace_back(line);
        }
    }

    std::vector<std::string> pieces =
        SplitAtLineFeeds(std::string_view(reinterpret_cast<const char*>(data + 4), size - 4));
    const std::string key = pieces.front();
    const SourceLines lines(pieces.begin() + 1, pieces.end());
    CheckTrim(key);
    for (const ListingLine& line : lines) {
        CheckTrim(line);
    }

    const OutputLines before = output;
    SourceIndex cursor = entryCursor;
    bool found = false;
    bool threw = false;
    try {
        switch (primitive) {
            case Primitive::kCopyUntilLabel:
                found = CopyUntilLabel(key, cursor, lines, output, mode, model);
                break;
            case Primitive::kSkipUntilLabel:
                found = SkipUntilLabel(key, cursor, lines, mode);
                break;
            case Primitive::kCopyUntilComment:
                found = CopyUntilComment(key, cursor, lines, output, model);
                break;
        }
    } catch (const SourceIndexError&) {
        threw = true;
    }

    const bool inside = entryCursor >= 0 && entryCursor < LineCount(lines);
    if (!inside) {
        Require(threw, "a cursor outside the listing did not throw SourceIndexError");
        Require(output == before, "a primitive with a cursor outside the listing changed things");
        return 0;
    }
    Require(!threw, "a cursor inside the listing threw SourceIndexError");

    std::string labelKey = UpperCased(key);
    if (primitive == Primitive::kCopyUntilLabel && !labelKey.empty() && labelKey.front() == 'L') {
        labelKey += ':';
    }
    if (primitive == Primitive::kSkipUntilLabel) {
        labelKey = key + ':';
    }
    const SourceIndex end =
        primitive == Primitive::kCopyUntilComment
            ? FindEnd(lines, entryCursor, [&](std::string_view line) { return MatchesComment(line, labelKey); })
            : FindEnd(lines, entryCursor, [&](std::string_view line) { return MatchesLabelKey(line, labelKey); });

    if (!found) {
        Require(end == LineCount(lines), "a primitive failed although the block end is in the listing");
        Require(cursor == LineCount(lines), "a failed primitive did not leave the cursor one past the last line");
        Require(output == before, "a failed primitive changed the output");
        return 0;
    }
    Require(end < LineCount(lines), "a primitive succeeded without a block end in the listing");
    switch (primitive) {
        case Primitive::kCopyUntilLabel:
            CheckLabelWalk(lines, entryCursor, end, cursor, mode);
            CheckAppendedRelocated(before, output, lines, entryCursor, cursor, model);
            break;
        case Primitive::kSkipUntilLabel:
            CheckLabelWalk(lines, entryCursor, end, cursor, mode);
            Require(output == before, "a skip changed the output");
            break;
        case Primitive::kCopyUntilComment:
            Require(cursor == end, "a comment copy did not stop on the comment line");
            CheckCommentCopy(before, output, lines, entryCursor, end, model);
            break;
    }
    return 0;
}
