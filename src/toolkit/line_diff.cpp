#include "toolkit/line_diff.h"

#include <algorithm>
#include <dtl/dtl.hpp>
#include <utility>

namespace veltrin {

namespace {

constexpr std::size_t kContext = 3;
// Where the two sides have agreed for this many lines, the edits before are taken as found and let go. It is more
// than two contexts, so that no hunk reaches across it.
constexpr std::size_t kSettled = 32;

// A line as a hunk shows it, after its mark; a line without a line end is the last of its file, and diff says so.
void AppendMarked(std::string& text, char mark, std::string_view line) {
    text.push_back(mark);
    text.append(line);
    if (!line.ends_with('\n')) {
        text.append("\n\\ No newline at end of file\n");
    }
}

// A hunk's range of lines as diff writes it: one line by its number alone, and no lines by the number of the line
// before them, where patch looks for the place.
std::string Range(std::size_t first, std::size_t count) {
    if (count == 0) {
        return std::to_string(first - 1) + ",0";
    }
    return count == 1 ? std::to_string(first) : std::to_string(first) + "," + std::to_string(count);
}

// Among the places that lines which repeat leave for a run of changed lines of one side, takes the one diff takes:
// each run is moved as low as it goes, merging with the runs it meets, then back up to the lowest place where a
// change of the other side stands beside it, so that the two read as one change.
void PlaceChanges(const std::vector<std::string_view>& lines, std::vector<bool>& changed,
                  const std::vector<bool>& otherChanged) {
    // For each count of kept lines, whether the other side changes lines right after that many of its kept lines.
    std::vector<bool> otherChangesAfter(1, false);
    for (const bool change : otherChanged) {
        if (change) {
            otherChangesAfter.back() = true;
        } else {
            otherChangesAfter.push_back(false);
        }
    }
    std::size_t kept = 0;  // the kept lines before `start`
    for (std::size_t start = 0; start < lines.size();) {
        if (!changed[start]) {
            ++start;
            ++kept;
            continue;
        }
        std::size_t end = start;
        while (end < lines.size() && changed[end]) {
            ++end;
        }
        std::optional<std::size_t> besideOther;
        for (std::size_t length = 0; length != end - start;) {
            length = end - start;
            while (start > 0 && lines[start - 1] == lines[end - 1]) {
                changed[--start] = true;
                changed[--end] = false;
                --kept;
                while (start > 0 && changed[start - 1]) {
                    --start;
                }
            }
            besideOther = otherChangesAfter[kept] ? std::optional(end) : std::nullopt;
            while (end < lines.size() && lines[start] == lines[end]) {
                changed[start++] = false;
                changed[end++] = true;
                ++kept;
                while (end < lines.size() && changed[end]) {
                    ++end;
                }
                if (otherChangesAfter[kept]) {
                    besideOther = end;
                }
            }
        }
        while (besideOther && end > *besideOther) {
            changed[--start] = true;
            changed[--end] = false;
            --kept;
        }
        start = end;
    }
}

}  // namespace

void LineDiff::Add(std::optional<std::string_view> oldLine, std::optional<std::string_view> newLine) {
    if (tooLarge_) {
        return;
    }
    oldEnded_ = oldEnded_ || !oldLine;
    newEnded_ = newEnded_ || !newLine;
    // A line that matches the first line held of the other side, or the other side's new line when none is held,
    // is let go at once: it need not be held.
    if (oldLine && newLine && *oldLine == *newLine && old_.Empty() && new_.Empty()) {
        Keep(*oldLine);
        return;
    }
    if (oldLine && old_.Empty() && !new_.Empty() && *oldLine == new_.Front()) {
        Keep(*oldLine);
        new_.PopFront();
        oldLine.reset();
    } else if (newLine && new_.Empty() && !old_.Empty() && *newLine == old_.Front()) {
        Keep(old_.Front());
        old_.PopFront();
        newLine.reset();
    }
    if (oldLine) {
        old_.Push(*oldLine);
    }
    if (newLine) {
        new_.Push(*newLine);
    }
    Settle();
}

std::optional<LineChanges> LineDiff::Finish() {
    oldEnded_ = newEnded_ = true;
    if (!tooLarge_) {
        Settle();
    }
    if (tooLarge_) {
        return std::nullopt;
    }
    CloseChange();
    if (hunkStart_) {
        CloseHunk();
    }
    return std::move(found_);
}

// Lets go of what the held lines already tell: matching first lines, the lines of a side facing one that has
// ended, and, once enough lines are held, the edits up to where the two sides agree again.
void LineDiff::Settle() {
    while (!old_.Empty() && !new_.Empty() && old_.Front() == new_.Front()) {
        Apply(Edit::kKeep);
    }
    if ((oldEnded_ && old_.Empty()) || (newEnded_ && new_.Empty())) {
        while (!old_.Empty()) {
            Apply(Edit::kRemove);
        }
        while (!new_.Empty()) {
            Apply(Edit::kAdd);
        }
    } else if (!old_.Empty() && !new_.Empty() && ((oldEnded_ && newEnded_) || old_.Size() + new_.Size() >= searchAt_) &&
               !Search(oldEnded_ && newEnded_)) {
        GiveUp();
    }
    if (old_.Size() > budget_.heldLines || new_.Size() > budget_.heldLines || old_.Bytes() > budget_.heldBytes ||
        new_.Bytes() > budget_.heldBytes || changedLines_ > budget_.changedLines ||
        changedBytes_ > budget_.changedBytes) {
        GiveUp();
    }
}

// Works out the edits between the held lines and lets go of them up to the end of the last stretch where the two
// sides agree for long enough, or of all of them at the end. False when that is too large a search.
bool LineDiff::Search(bool toTheEnd) {
    const std::vector<std::string_view> oldLines(old_.begin(), old_.end());
    const std::vector<std::string_view> newLines(new_.begin(), new_.end());
    // The path of the search grows with (P + 1)(D + P + 1) points, where D is how many more lines one side has
    // and P how many more edits it takes: the count alone costs memory for the lines only, so it comes first.
    dtl::Diff<std::string_view> count(oldLines, newLines);
    count.onOnlyEditDistance();
    count.compose();
    const std::size_t longer = std::max(oldLines.size(), newLines.size());
    const std::size_t surplus = longer - std::min(oldLines.size(), newLines.size());
    const std::size_t more = (static_cast<std::size_t>(count.getEditDistance()) - surplus) / 2;
    if ((more + 1) * (surplus + more + 1) > budget_.searchSteps) {
        return false;
    }
    const std::vector<Edit> script = Script(oldLines, newLines);
    // Edits are let go only with as many lines seen after them: a block that seems removed may have stayed while
    // fewer lines after it moved up, which it takes that many lines to tell.
    std::size_t settled = toTheEnd ? script.size() : 0;
    for (std::size_t index = 0, agreeing = 0, edits = 0; !toTheEnd && index < script.size(); ++index) {
        const bool keep = script[index] == Edit::kKeep;
        agreeing = keep ? agreeing + 1 : 0;
        edits += keep ? 0U : 1U;
        if (agreeing >= kSettled && script.size() - index > 2 * edits) {
            settled = index + 1;
        }
    }
    for (std::size_t index = 0; index < settled; ++index) {
        Apply(script[index]);
    }
    const std::size_t held = old_.Size() + new_.Size();
    searchAt_ = settled == 0 ? 2 * held : held + 2 * kSettled;
    return true;
}

std::vector<LineDiff::Edit> LineDiff::Script(const std::vector<std::string_view>& oldLines,
                                             const std::vector<std::string_view>& newLines) const {
    dtl::Diff<std::string_view> diff(oldLines, newLines);
    diff.compose();
    std::vector<bool> removed(oldLines.size());
    std::vector<bool> added(newLines.size());
    for (const auto& [line, edit] : diff.getSes().getSequence()) {
        if (edit.type == dtl::SES_DELETE) {
            removed[static_cast<std::size_t>(edit.beforeIdx - 1)] = true;
        } else if (edit.type == dtl::SES_ADD) {
            added[static_cast<std::size_t>(edit.afterIdx - 1)] = true;
        }
    }
    PlaceChanges(oldLines, removed, added);
    PlaceChanges(newLines, added, removed);
    std::vector<Edit> script;
    for (std::size_t oldIndex = 0, newIndex = 0; oldIndex < oldLines.size() || newIndex < newLines.size();) {
        if (oldIndex < oldLines.size() && removed[oldIndex]) {
            script.push_back(Edit::kRemove);
            ++oldIndex;
        } else if (newIndex < newLines.size() && added[newIndex]) {
            script.push_back(Edit::kAdd);
            ++newIndex;
        } else {
            script.push_back(Edit::kKeep);
            ++oldIndex;
            ++newIndex;
        }
    }
    return script;
}

// Lets go of the first held line of the side or sides that the edit takes.
void LineDiff::Apply(Edit edit) {
    if (edit != Edit::kAdd) {
        if (edit == Edit::kKeep) {
            Keep(old_.Front());
        } else {
            Change(edit, old_.Front());
        }
        old_.PopFront();
    }
    if (edit != Edit::kRemove) {
        if (edit == Edit::kAdd) {
            Change(edit, new_.Front());
        }
        new_.PopFront();
    }
}

void LineDiff::Keep(std::string_view line) {
    CloseChange();
    ++oldLine_;
    ++newLine_;
    if (!writeHunks_) {
        return;
    }
    kept_.Push(line);
    // Changes further apart than two contexts are hunks of their own.
    if (hunkStart_ && kept_.Size() > 2 * kContext) {
        CloseHunk();
    }
    while (!hunkStart_ && kept_.Size() > kContext) {
        kept_.PopFront();
    }
}

void LineDiff::Change(Edit edit, std::string_view line) {
    if (!changing_) {
        changing_ = true;
        found_.changes.push_back({oldLine_ + 1, 0, 0});
        if (writeHunks_ && !hunkStart_) {
            hunkStart_.emplace(oldLine_ + 1 - kept_.Size(), newLine_ + 1 - kept_.Size());
        }
        for (const std::string& kept : kept_) {
            AppendMarked(hunk_, ' ', kept);
        }
        kept_.Clear();
    }
    const bool removed = edit == Edit::kRemove;
    ++(removed ? found_.changes.back().removed : found_.changes.back().added);
    ++(removed ? oldLine_ : newLine_);
    ++changedLines_;
    changedBytes_ += line.size();
    if (writeHunks_) {
        AppendMarked(removed ? removedLines_ : addedLines_, removed ? '-' : '+', line);
    }
}

// A change is written when it is whole, its removed lines before its added ones.
void LineDiff::CloseChange() {
    if (changing_) {
        changing_ = false;
        hunk_.append(removedLines_).append(addedLines_);
        removedLines_.clear();
        addedLines_.clear();
    }
}

void LineDiff::CloseHunk() {
    const std::size_t trailing = std::min(kContext, kept_.Size());
    for (std::size_t index = 0; index < trailing; ++index) {
        AppendMarked(hunk_, ' ', kept_[index]);
    }
    const std::size_t after = kept_.Size() - trailing;
    const auto [oldFirst, newFirst] = *hunkStart_;
    found_.hunks.append("@@ -" + Range(oldFirst, oldLine_ + 1 - after - oldFirst) + " +" +
                        Range(newFirst, newLine_ + 1 - after - newFirst) + " @@\n");
    found_.hunks.append(hunk_);
    hunk_.clear();
    hunkStart_.reset();
}

void LineDiff::HeldLines::Push(std::string_view line) {
    if (spare_.empty()) {
        lines_.emplace_back(line);
    } else {
        lines_.push_back(std::move(spare_.back()));
        spare_.pop_back();
        lines_.back().assign(line);
    }
    bytes_ += line.size();
}

void LineDiff::HeldLines::PopFront() {
    bytes_ -= lines_.front().size();
    spare_.push_back(std::move(lines_.front()));
    lines_.pop_front();
}

void LineDiff::HeldLines::Clear() {
    lines_.clear();
    spare_.clear();
    bytes_ = 0;
}

void LineDiff::GiveUp() {
    tooLarge_ = true;
    old_.Clear();
    new_.Clear();
    kept_.Clear();
    hunk_.clear();
    found_ = {};
}

}  // namespace veltrin
