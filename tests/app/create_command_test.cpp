#include "app/create_command.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/version_text.h"

namespace veltrin {
namespace {

namespace fs = std::filesystem;
using testing::ElementsAre;
using testing::ElementsAreArray;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

const char* InputName(RunInput input) {
    switch (input) {
        case RunInput::kTxt128Rom:
            return "txt128ROM";
        case RunInput::kTxtPlus2Rom:
            return "txtPlus2ROM";
        case RunInput::kTxtFrenchPlus2Rom:
            return "txtFrenchPlus2ROM";
        case RunInput::kTxtSpanishPlus2Rom:
            return "txtSpanishPlus2ROM";
        case RunInput::kCmdCreate:
            return "cmdCreate";
    }
    return "?";
}

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
        calls.push_back(std::string(enabled ? "enable " : "disable ") + InputName(input));
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
        folder_ = fs::temp_directory_path() /
                  ("veltrin-create-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        fs::copy_file(VELTRIN_SAMPLE_LISTING, Source());
        view_.names = {{FileBox::k128Rom, Source().string()},
                       {FileBox::kPlus2Rom, English().string()},
                       {FileBox::kSpanishPlus2Rom, Spanish().string()},
                       {FileBox::kFrenchPlus2Rom, French().string()}};
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path Source() const { return folder_ / "Spectrum128_ROM0.asm"; }
    fs::path English() const { return folder_ / "Spectrum+2_ROM0.asm"; }
    fs::path Spanish() const { return folder_ / "Spectrum+2_Spanish_ROM0.asm"; }
    fs::path French() const { return folder_ / "Spectrum+2_French_ROM0.asm"; }

    // Takes the line that defines a label out of the source listing.
    void RemoveLabelFromSource(const std::string& label) {
        std::string source = ReadFile(Source());
        const std::size_t at = source.find("\r\n" + label + ":");
        ASSERT_NE(at, std::string::npos) << label;
        source.erase(at, source.find("\r\n", at + 2) - at);
        WriteFile(Source(), source);
    }

    std::vector<std::string> RunStart() const {
        return {"status " + VersionText(),    "disable txt128ROM", "disable txtPlus2ROM", "disable txtFrenchPlus2ROM",
                "disable txtSpanishPlus2ROM", "disable cmdCreate", "busy pointer"};
    }
    std::vector<std::string> RunEnd(const std::string& status) const {
        return {"status " + status,          "enable txt128ROM", "enable txtPlus2ROM", "enable txtFrenchPlus2ROM",
                "enable txtSpanishPlus2ROM", "enable cmdCreate", "default pointer"};
    }
    std::vector<std::string> FailedRun(const std::vector<std::string>& messages) const {
        std::vector<std::string> calls = RunStart();
        calls.insert(calls.end(), messages.begin(), messages.end());
        const std::vector<std::string> end = RunEnd("Error!");
        calls.insert(calls.end(), end.begin(), end.end());
        return calls;
    }

    fs::path folder_;
    RecordingView view_;
};

TEST_F(CreateCommandTest, WritesTheThreeListingsAndReportsDone) {
    EXPECT_EQ(CreateCommand(view_).Run(), RunOutcome::kDone);
    std::vector<std::string> expected = RunStart();
    const std::vector<std::string> end = RunEnd("Done!");
    expected.insert(expected.end(), end.begin(), end.end());
    EXPECT_THAT(view_.calls, ElementsAreArray(expected));
    EXPECT_GT(view_.yields, 4);
    for (const fs::path& output : {English(), Spanish(), French()}) {
        EXPECT_GT(fs::file_size(output), fs::file_size(Source()) / 2) << output;
    }
    EXPECT_NE(ReadFile(English()), ReadFile(Spanish()));
    EXPECT_NE(ReadFile(Spanish()), ReadFile(French()));
}

TEST_F(CreateCommandTest, TwoRunsGiveIdenticalFiles) {
    ASSERT_EQ(CreateCommand(view_).Run(), RunOutcome::kDone);
    const std::string english = ReadFile(English());
    const std::string spanish = ReadFile(Spanish());
    const std::string french = ReadFile(French());
    ASSERT_EQ(CreateCommand(view_).Run(), RunOutcome::kDone);
    EXPECT_EQ(ReadFile(English()), english);
    EXPECT_EQ(ReadFile(Spanish()), spanish);
    EXPECT_EQ(ReadFile(French()), french);
}

TEST_F(CreateCommandTest, MissingSourceWritesNothing) {
    fs::remove(Source());
    EXPECT_EQ(CreateCommand(view_).Run(), RunOutcome::kError);
    EXPECT_THAT(view_.calls, ElementsAreArray(FailedRun({"Load Error: Error loading Spectrum 128 ROM disassembly"})));
    EXPECT_FALSE(fs::exists(English()));
}

TEST_F(CreateCommandTest, EnglishStepFailureShowsBothMessagesAndWritesNothing) {
    RemoveLabelFromSource("L2744");
    WriteFile(French(), "old French listing");
    EXPECT_EQ(CreateCommand(view_).Run(), RunOutcome::kError);
    EXPECT_THAT(view_.calls, ElementsAreArray(FailedRun({"Convert Error: Failed to copy until label L2744",
                                                         "Load Error: Failed to create Spectrum +2 ROM disassembly"})));
    EXPECT_FALSE(fs::exists(English()));
    EXPECT_FALSE(fs::exists(Spanish()));
    EXPECT_EQ(ReadFile(French()), "old French listing");
}

TEST_F(CreateCommandTest, ShortSourceFailsTheEnglishListingWithoutAStepMessage) {
    WriteFile(Source(), "; one\r\n; two\r\n; three\r\n");
    EXPECT_EQ(CreateCommand(view_).Run(), RunOutcome::kError);
    EXPECT_THAT(view_.calls, ElementsAreArray(FailedRun({"Load Error: Failed to create Spectrum +2 ROM disassembly"})));
    EXPECT_FALSE(fs::exists(English()));
}

TEST_F(CreateCommandTest, SpanishStepFailureKeepsTheEnglishListing) {
    RemoveLabelFromSource("L2790");  // only the translated menus need it
    EXPECT_EQ(CreateCommand(view_).Run(), RunOutcome::kError);
    EXPECT_THAT(view_.calls,
                ElementsAreArray(FailedRun({"Convert Error: Failed to find label L2790",
                                            "Load Error: Failed to create Spanish Spectrum +2 ROM disassembly"})));
    EXPECT_TRUE(fs::exists(English()));
    EXPECT_FALSE(fs::exists(Spanish()));
    EXPECT_FALSE(fs::exists(French()));
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
                ElementsAreArray(FailedRun({"Load Error: Failed to create French Spectrum +2 ROM disassembly"})));
    EXPECT_TRUE(fs::exists(English()));
    EXPECT_TRUE(fs::exists(Spanish()));
    EXPECT_EQ(ReadFile(French()), "old French listing");
}

TEST_F(CreateCommandTest, UnwritableListingEndsTheRunLikeAFailedStep) {
    view_.names[FileBox::kSpanishPlus2Rom] = (folder_ / "no such folder" / "Spanish.asm").string();
    EXPECT_EQ(CreateCommand(view_).Run(), RunOutcome::kError);
    ASSERT_EQ(view_.calls.size(), RunStart().size() + 1 + RunEnd("Error!").size());
    const std::string& message = view_.calls[RunStart().size()];
    EXPECT_THAT(message, testing::StartsWith("Write Error: Could not write the Spanish Spectrum +2 ROM disassembly"));
    EXPECT_THAT(message, testing::HasSubstr("Spanish.asm"));
    EXPECT_TRUE(fs::exists(English()));
    EXPECT_FALSE(fs::exists(French()));
}

TEST_F(CreateCommandTest, RefusesToWriteOverTheSourceListing) {
    const std::string source = ReadFile(Source());
    view_.names[FileBox::kFrenchPlus2Rom] = (folder_ / "." / "Spectrum128_ROM0.asm").string();
    EXPECT_EQ(CreateCommand(view_).Run(), RunOutcome::kError);
    ASSERT_EQ(view_.calls.size(), RunStart().size() + 1 + RunEnd("Error!").size());
    EXPECT_THAT(view_.calls[RunStart().size()], testing::StartsWith("Name Error: The French +2 ROM 0 Filename"));
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
    EXPECT_THAT(view_.calls, ElementsAreArray(RunStart()));
    EXPECT_FALSE(fs::exists(Spanish()));
    EXPECT_FALSE(fs::exists(French()));
}

}  // namespace
}  // namespace veltrin
