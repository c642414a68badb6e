#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace veltrin {

// A run of lines that the new listing has in place of the old one's: `removed` old lines from old line `oldLine`,
// and `added` new lines in their place (before old line `oldLine` when none is removed).
struct LineChange {
    std::size_t oldLine = 0;  // counted from 1
    std::size_t removed = 0;
    std::size_t added = 0;
};

// The edits that turn the old lines into the new ones, in order, and the unified diff hunks that show them.
struct LineChanges {
    std::vector<LineChange> changes;
    std::string hunks;
};

// How far a difference is worked out before it counts as too large, so that listings of any length are compared in
// bounded memory and time.
struct DiffBudget {
    std::size_t heldLines = std::size_t{1} << 15;     // lines of one side held while the two sides disagree
    std::size_t heldBytes = std::size_t{4} << 20;     // and their bytes
    std::size_t searchSteps = std::size_t{1} << 18;   // points of the path that one search for the edits records
    std::size_t changedLines = std::size_t{1} << 17;  // lines removed and added, in all
    std::size_t changedBytes = std::size_t{8} << 20;  // and their bytes
};

// The shortest edit script from an old sequence of lines to a new one, worked out as the lines arrive, one of each
// side at a time: lines that match are let go at once, and a stretch where the two disagree is held only until they
// have agreed again for long enough to tell. A change is placed as diff places it: as low as the lines around it
// allow, unless that parts it from a change of the other side. Lines are compared, and written, with their line ends.
class LineDiff {
  public:
    // With hunks, the script is also written as unified diff hunks with three lines of context.
    explicit LineDiff(bool writeHunks, DiffBudget budget = {}) : writeHunks_(writeHunks), budget_(budget) {}

    // The next line of each side, or nothing for a side that has ended.
    void Add(std::optional<std::string_view> oldLine, std::optional<std::string_view> newLine);
    // After the last lines of both sides: nothing when the difference was too large for the budget.
    std::optional<LineChanges> Finish();
    // Whether the difference is too large for the budget already.
    [[nodiscard]] bool GaveUp() const { return tooLarge_; }

  private:
    enum class Edit { kKeep, kRemove, kAdd };

    // Lines held in order, in strings that are used again for the lines after them: a side that runs ahead of the
    // other holds as many lines as it is ahead, and lets one go for each that it takes.
    class HeldLines {
      public:
        void Push(std::string_view line);
        void PopFront();
        void Clear();
        const std::string& Front() const { return lines_.front(); }
        const std::string& operator[](std::size_t index) const { return lines_[index]; }
        std::size_t Size() const { return lines_.size(); }
        std::size_t Bytes() const { return bytes_; }
        bool Empty() const { return lines_.empty(); }
        auto begin() const { return lines_.begin(); }
        auto end() const { return lines_.end(); }

      private:
        std::deque<std::string> lines_;
        std::vector<std::string> spare_;
        std::size_t bytes_ = 0;
    };

    void Settle();
    bool Search(bool toTheEnd);
    std::vector<Edit> Script(const std::vector<std::string_view>& oldLines,
                             const std::vector<std::string_view>& newLines) const;
    void Apply(Edit edit);
    void Keep(std::string_view line);
    void Change(Edit edit, std::string_view line);
    void CloseChange();
    void CloseHunk();
    void GiveUp();

    bool writeHunks_;
    DiffBudget budget_;
    bool tooLarge_ = false;

    // The lines of each side that are not matched yet, the first of them after line oldLine_ or newLine_.
    HeldLines old_;
    HeldLines new_;
    bool oldEnded_ = false;
    bool newEnded_ = false;
    std::size_t oldLine_ = 0;
    std::size_t newLine_ = 0;
    std::size_t searchAt_ = 0;  // held lines of both sides at which to look for edits again

    LineChanges found_;
    bool changing_ = false;  // the last of the changes found is still growing
    std::size_t changedLines_ = 0;
    std::size_t changedBytes_ = 0;

    // The matched lines since the last change, as context; the hunk that is open, and the removed and added lines
    // of the change that grows, which it shows once the change is whole.
    HeldLines kept_;
    std::optional<std::pair<std::size_t, std::size_t>> hunkStart_;  // its first old and new lines
    std::string hunk_;
    std::string removedLines_;
    std::string addedLines_;
};

}  // namespace veltrin
