// Runs the copy and skip primitives on arbitrary listings, keys, cursors and modes.
//
// Input: four header bytes, then text. Byte 0 picks the primitive and the model, byte 1 the mode, byte 2 the
// cursor (255 standing for the largest cursor there is), byte 3 what earlier
// steps appended to the output. Up to its first line feed the text is the label or comment searched for; the
// rest is the source listing as its file would hold it, read by the line store.
//
// Invariants: a cursor outside the listing throws SourceIndexError and changes nothing; a primitive that does
// not find its block end returns false with the output unchanged and the cursor one past the last line; for one
// that does, what it copied and where it left the cursor follow from the listing as described in
// block_primitives.h. The output's hold of lone ";" lines may only ever take such lines away, one for each
// never-called note at most, and never changes the order of the others.

#include <algorithm>
#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "generators/plus2_models.h"
#include "support/source_bytes.h"
#include "toolkit/block_primitives.h"
#include "toolkit/line_relocation.h"

namespace veltrin::fuzzing {
namespace {

enum class Primitive { kCopyUntilLabel, kSkipUntilLabel, kCopyUntilComment };

const std::array kModels{kEnglishPlus2.targetModel, kSpanishPlus2.targetModel, kFrenchPlus2.targetModel};
constexpr std::array kModes{LabelMode::kLeaveHeader, LabelMode::kUpToLabelLine};

std::string UpperCased(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        c = UpperCase(c);
    }
    return upper;
}

using Lines = std::vector<std::string>;

// Keeps the lines that leave the output.
struct CollectedLines : LineSink {
    void Write(std::string_view line) override { lines.emplace_back(line); }
    Lines lines;
};

bool IsLoneSemicolon(std::string_view line) { return line == ";"; }

bool IsNeverCalledNote(std::string_view line) {
    return UpperCased(line).find("NEVER CALLED BY THIS ROM]") != std::string::npos;
}

Lines WithoutLoneSemicolons(Lines lines) {
    std::erase_if(lines, IsLoneSemicolon);
    return lines;
}

bool IsTrimmedWhitespace(char c) { return c == ' ' || c == '\t'; }

void CheckTrim(std::string_view text) {
    const std::string_view trimmed = TrimTrailingWhitespace(text);
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

// The first line at or after `from` that ends the block, or the line count when there is none.
template <typename Matches>
SourceIndex FindEnd(const SourceLines& lines, SourceIndex from, Matches matches) {
    SourceIndex index = from;
    while (index < lines.size() && !matches(lines[index])) {
        ++index;
    }
    return index;
}

// A label search that succeeded: the cursor stops after the last significant line in front of the label.
void CheckLabelWalk(const SourceLines& lines, SourceIndex start, SourceIndex end, SourceIndex cursor, LabelMode mode) {
    Require(cursor >= start && cursor <= end, "a label search left the cursor outside the block");
    for (SourceIndex index = cursor; index < end; ++index) {
        Require(!IsSignificant(lines[index], mode), "a label search left a significant line behind the cursor");
    }
    if (cursor > start) {
        Require(IsSignificant(lines[cursor - 1], mode), "a label search stopped after a line that is not significant");
    }
}

// The relocated source lines from `from` up to `to`, after what earlier steps appended.
Lines BeforeAndRelocated(const Lines& before, const SourceLines& lines, SourceIndex from, SourceIndex to,
                         TargetModel model) {
    Lines all = before;
    std::string scratch;
    for (SourceIndex index = from; index < to; ++index) {
        all.emplace_back(RelocateLine(lines[index], model, scratch));
    }
    return all;
}

// A comment copy passes every relocated line on but the never-called notes. Only lone ";" lines may go missing
// besides, fewer than the notes, and one at least when a note comes right after such a line.
void CheckCommentCopy(const Lines& written, const Lines& appended) {
    Lines notes;
    Lines kept;
    bool noteAfterSemicolon = false;
    for (std::size_t index = 0; index < appended.size(); ++index) {
        const bool note = IsNeverCalledNote(appended[index]);
        (note ? notes : kept).push_back(appended[index]);
        noteAfterSemicolon = noteAfterSemicolon || (note && index > 0 && IsLoneSemicolon(appended[index - 1]));
    }
    Require(std::none_of(written.begin(), written.end(), IsNeverCalledNote), "a never-called note was written");
    Require(WithoutLoneSemicolons(written) == WithoutLoneSemicolons(kept),
            "a comment copy lost, changed or moved a line other than a lone \";\"");
    const auto lost = static_cast<std::size_t>(std::count_if(kept.begin(), kept.end(), IsLoneSemicolon) -
                                               std::count_if(written.begin(), written.end(), IsLoneSemicolon));
    Require(lost <= notes.size(), "more lone \";\" lines went than there were notes");
    Require(!noteAfterSemicolon || lost > 0, "a note right after a lone \";\" left it standing");
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
    const SourceIndex entryCursor = data[2] == UINT8_MAX ? std::numeric_limits<SourceIndex>::max() : data[2];
    static const std::array<Lines, 4> kEarlierOutputs{
        {{}, {"; Before"}, {"; Before", ";"}, {";", ";", "        RET", ";"}}};
    const Lines& before = kEarlierOutputs[data[3] % kEarlierOutputs.size()];
    CollectedLines collected;
    OutputLines output(collected);
    for (const std::string& line : before) {
        output.Append(line);
    }

    const std::string_view text(reinterpret_cast<const char*>(data + 4), size - 4);
    const std::size_t keyEnd = std::min(text.find('\n'), text.size());
    const std::string key(text.substr(0, keyEnd));
    const SourceLines lines = testing_support::SourceLinesOf(text.substr(std::min(keyEnd + 1, text.size())));
    CheckTrim(key);
    for (std::size_t index = 0; index < lines.size(); ++index) {
        CheckTrim(lines[index]);
    }

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

    output.Flush();
    const Lines& written = collected.lines;
    const bool inside = entryCursor < lines.size();
    if (!inside) {
        Require(threw, "a cursor outside the listing did not throw SourceIndexError");
        Require(written == before, "a primitive with a cursor outside the listing changed things");
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
        Require(end == lines.size(), "a primitive failed although the block end is in the listing");
        Require(cursor == lines.size(), "a failed primitive did not leave the cursor one past the last line");
        Require(written == before, "a failed primitive changed the output");
        return 0;
    }
    Require(end < lines.size(), "a primitive succeeded without a block end in the listing");
    switch (primitive) {
        case Primitive::kCopyUntilLabel:
            CheckLabelWalk(lines, entryCursor, end, cursor, mode);
            Require(written == BeforeAndRelocated(before, lines, entryCursor, cursor, model),
                    "a label copy did not append the relocated source lines of its block");
            break;
        case Primitive::kSkipUntilLabel:
            CheckLabelWalk(lines, entryCursor, end, cursor, mode);
            Require(written == before, "a skip changed the output");
            break;
        case Primitive::kCopyUntilComment:
            Require(cursor == end, "a comment copy did not stop on the comment line");
            CheckCommentCopy(written, BeforeAndRelocated(before, lines, entryCursor, end, model));
            break;
    }
    return 0;
}
