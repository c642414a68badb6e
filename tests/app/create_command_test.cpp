#include "app/create_command.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/version_text.h"
#include "support/test_folder.h"

namespace veltrin {
namespace {

namespace fs = std::filesystem;
using testing::ElementsAreArray;
using testing_support::ReadFile;
using testing_support::TestFolder;
using testing_support::WriteFile;

// Records what the create command asks of the window, yields apart: the primitives yield after every block.
class RecordingView : public CreateView {
  public:
    std::map<FileBox, std::string> names;
    std::vector<std::string> calls;
    int yields = 0;
    std::function<void()> onYield;

    std::string FileName(FileBox box) const override { return names.at(box); }
    void SetStatus(const std::string& caption) override { calls.push_back("status " + caption); }
    void SetInputEnabled(RunInput input, bool enabled) override {
        static constexpr std::array<const char*, 5> kNames{"txt128ROM", "txtPlus2ROM", "txtFrenchPlus2ROM",
                                                           "txtSpanishPlus2ROM", "cmdCreate"};
        calls.push_back(std::string(enabled ? "enable " : "disable ") + kNames.at(static_cast<std::size_t>(input)));
    }
    void SetBusyPointer(bool busy) override { calls.push_back(busy ? "busy pointer" : "default pointer"); }
    void ShowMessage(std::string_view message, std::string_view title) override {
        calls.push_back(std::string(title) + ": " + std::string(message));
    }
    void Yield() override {
        ++yields;
        if (onYield) {
            onYield();
        }
    }
};

class CreateCommandTest : public testing::Test {
  protected:
    void SetUp() override {
        fs::copy_file(VELTRIN_SAMPLE_LISTING, Source());
        view_.names = {{FileBox::k128Rom, Source().string()},
                       {FileBox::kPlus2Rom, English().string()},
                       {FileBox::kSpanishPlus2Rom, Spanish().string()},
                       {FileBox::kFrenchPlus2Rom, French().string()}};
    }

    fs::path Source() const { return folder_ / "Spectrum128_ROM0.asm"; }
    fs::path English() const { return folder_ / "Spectrum+2_ROM0.asm"; }
    fs::path Spanish() const { return folder_ / "Spectrum+2_Spanish_ROM0.asm"; }
    fs::path French() const { return folder_ / "Spectrum+2_French_ROM0.asm"; }

    // Takes the line that defines a label out of the source listing.
    void RemoveLabelFromSource(const std::string& label) const {
        std::string source = ReadFile(Source());
        const std::size_t at = source.find("\r\n" + label + ":");
        ASSERT_NE(at, std::string::npos) << label;
        source.erase(at, source.find("\r\n", at + 2) - at);
        WriteFile(Source(), source);
    }

    // The calls of a whole run: the start, what happens in between, and the end with its status.
    static std::vector<std::string> Run(const std::vector<std::string>& between, const std::string& status) {
        std::vector<std::string> calls{
            "status " + VersionText(),    "disable txt128ROM", "disable txtPlus2ROM", "disable txtFrenchPlus2ROM",
            "disable txtSpanishPlus2ROM", "disable cmdCreate", "busy pointer"};
        calls.insert(calls.end(), between.begin(), between.end());
        for (const char* call : {"enable txt128ROM", "enable txtPlus2ROM", "enable txtFrenchPlus2ROM",
                                 "enable txtSpanishPlus2ROM", "enable cmdCreate", "default pointer"}) {
            calls.emplace_back(call);
        }
        calls.insert(calls.end() - 6, "status " + status);
        return calls;
    }

    std::vector<bool> Written() const { return {fs::exists(English()), fs::exists(Spanish()), fs::exists(French())}; }

    TestFolder folder_;
    RecordingView view_;
};

TEST_F(CreateCommandTest, WritesTheThreeListingsAndReportsDone) {
    EXPECT_EQ(CreateCommand(view_).Run(), RunOutcome::kDone);
    EXPECT_THAT(view_.calls, ElementsAreArray(Run({}, "Done!")));
    EXPECT_GT(view_.yields, 4);
    EXPECT_EQ(Written(), std::vector<bool>({true, true, true}));
    EXPECT_NE(ReadFile(English()), ReadFile(Spanish()));
    EXPECT_NE(ReadFile(Spanish()), ReadFile(French()));

    const std::array<std::string, 3> first{ReadFile(English()), ReadFile(Spanish()), ReadFile(French())};
    ASSERT_EQ(CreateCommand(view_).Run(), RunOutcome::kDone);
    EXPECT_EQ(first, (std::array<std::string, 3>{ReadFile(English()), ReadFile(Spanish()), ReadFile(French())}));
}

TEST_F(CreateCommandTest, MissingSourceWritesNothing) {
    fs::remove(Source());
    EXPECT_EQ(CreateCommand(view_).Run(), RunOutcome::kError);
    EXPECT_THAT(view_.calls,
                ElementsAreArray(Run({"Load Error: Error loading Spectrum 128 ROM disassembly"}, "Error!")));
    EXPECT_EQ(Written(), std::vector<bool>({false, false, false}));
}

TEST_F(CreateCommandTest, EnglishStepFailureShowsBothMessagesAndTouchesNoListing) {
    RemoveLabelFromSource("L2744");
    WriteFile(French(), "old French listing");
    EXPECT_EQ(CreateCommand(view_).Run(), RunOutcome::kError);
    EXPECT_THAT(view_.calls, ElementsAreArray(Run({"Convert Error: Failed to copy until label L2744",
                                                   "Load Error: Failed to create Spectrum +2 ROM disassembly"},
                                                  "Error!")));
    EXPECT_EQ(Written(), std::vector<bool>({false, false, true}));
    EXPECT_EQ(ReadFile(French()), "old French listing");
}

TEST_F(CreateCommandTest, ShortSourceFailsTheEnglishListingWithoutAStepMessage) {
    WriteFile(Source(), "; one\r\n; two\r\n; three\r\n");
    EXPECT_EQ(CreateCommand(view_).Run(), RunOutcome::kError);
    EXPECT_THAT(view_.calls,
                ElementsAreArray(Run({"Load Error: Failed to create Spectrum +2 ROM disassembly"}, "Error!")));
    EXPECT_EQ(Written(), std::vector<bool>({false, false, false}));
}

TEST_F(CreateCommandTest, SpanishStepFailureKeepsTheEnglishListing) {
    RemoveLabelFromSource("L2790");  // only the translated menus need it
    EXPECT_EQ(CreateCommand(view_).Run(), RunOutcome::kError);
    EXPECT_THAT(view_.calls, ElementsAreArray(Run({"Convert Error: Failed to find label L2790",
                                                   "Load Error: Failed to create Spanish Spectrum +2 ROM disassembly"},
                                                  "Error!")));
    EXPECT_EQ(Written(), std::vector<bool>({true, false, false}));
}

// The French script is the Spanish one, so only a run-time error can fail it alone.
TEST_F(CreateCommandTest, FrenchFailureLeavesAnExistingFrenchListingUntouched) {
    WriteFile(French(), "old French listing");
    view_.onYield = [this] {
        if (fs::exists(Spanish())) {
            throw std::runtime_error("lost the listing");
        }
    };
    EXPECT_EQ(CreateCommand(view_).Run(), RunOutcome::kError);
    EXPECT_THAT(view_.calls,
                ElementsAreArray(Run({"Load Error: Failed to create French Spectrum +2 ROM disassembly"}, "Error!")));
    EXPECT_EQ(Written(), std::vector<bool>({true, true, true}));
    EXPECT_EQ(ReadFile(French()), "old French listing");
}

TEST_F(CreateCommandTest, UnwritableListingEndsTheRunLikeAFailedStep) {
    view_.names[FileBox::kSpanishPlus2Rom] = (folder_ / "no such folder" / "Spanish.asm").string();
    EXPECT_EQ(CreateCommand(view_).Run(), RunOutcome::kError);
    const std::vector<std::string> expected = Run({"message"}, "Error!");
    ASSERT_EQ(view_.calls.size(), expected.size());
    const std::string& message = view_.calls[7];
    EXPECT_THAT(message, testing::StartsWith("Write Error: Could not write the Spanish Spectrum +2 ROM disassembly"));
    EXPECT_THAT(message, testing::HasSubstr("Spanish.asm"));
    EXPECT_EQ(Written(), std::vector<bool>({true, false, false}));
}

TEST_F(CreateCommandTest, RefusesToWriteOverTheSourceListing) {
    const std::string source = ReadFile(Source());
    view_.names[FileBox::kFrenchPlus2Rom] = (folder_ / "." / "Spectrum128_ROM0.asm").string();
    EXPECT_EQ(CreateCommand(view_).Run(), RunOutcome::kError);
    ASSERT_EQ(view_.calls.size(), Run({"message"}, "Error!").size());
    EXPECT_THAT(view_.calls[7], testing::StartsWith("Name Error: The French +2 ROM 0 Filename"));
    EXPECT_EQ(ReadFile(Source()), source);
    EXPECT_FALSE(fs::exists(English()));
}

TEST_F(CreateCommandTest, ExitDuringAYieldWritesNothingMore) {
    view_.onYield = [this] {
        if (fs::exists(English())) {
            throw RunCancelled{};
        }
    };
    EXPECT_EQ(CreateCommand(view_).Run(), RunOutcome::kCancelled);
    EXPECT_EQ(view_.calls.size(), 7U);  // the start of the run, and nothing after it
    EXPECT_EQ(Written(), std::vector<bool>({true, false, false}));
}

}  // namespace
}  // namespace veltrin
