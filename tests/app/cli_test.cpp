#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/version_text.h"
#include "support/test_folder.h"

namespace veltrin {
namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing_support::ReadFile;
using testing_support::TestFolder;

struct Result {
    int exitCode;
    std::string out;
    std::string err;
};

// Runs veltrin-cli as a process in a folder of its own, as a script would.
class CliTest : public testing::Test {
  protected:
    void CopySample(const std::string& name) { fs::copy_file(VELTRIN_SAMPLE_LISTING, folder_ / name); }

    Result Run(const std::string& arguments, const std::string& standardOutput = "") const {
        const std::string command = "cd '" + folder_.Path().string() + "' && '" VELTRIN_CLI "' " + arguments + " >'" +
                                    (standardOutput.empty() ? (folder_ / "stdout.txt").string() : standardOutput) +
                                    "' 2>'" + (folder_ / "stderr.txt").string() + "'";
        const int status = std::system(command.c_str());
        Result result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(folder_ / "stdout.txt"),
                      ReadFile(folder_ / "stderr.txt")};
        fs::remove(folder_ / "stdout.txt");
        fs::remove(folder_ / "stderr.txt");
        return result;
    }

    TestFolder folder_;
};

TEST_F(CliTest, ConvertsUnderTheWindowsDefaultNames) {
    CopySample("Spectrum128_ROM0.asm");
    const Result result = Run("");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "Done!\n");
    EXPECT_EQ(result.err, "");
    for (const char* name : {"Spectrum+2_ROM0.asm", "Spectrum+2_Spanish_ROM0.asm", "Spectrum+2_French_ROM0.asm"}) {
        EXPECT_TRUE(fs::exists(folder_ / name)) << name;
    }
}

TEST_F(CliTest, TakesEveryNameFromItsOption) {
    CopySample("128.asm");
    const Result result = Run("--source 128.asm --english en.asm --spanish=es.asm --french fr.asm");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_THAT(ReadFile(folder_ / "en.asm"), HasSubstr("; *** SPECTRUM +2 ROM 0 DISASSEMBLY ***"));
    EXPECT_THAT(ReadFile(folder_ / "es.asm"), HasSubstr("; *** SPANISH SPECTRUM +2 ROM 0 DISASSEMBLY ***"));
    EXPECT_THAT(ReadFile(folder_ / "fr.asm"), HasSubstr("; *** FRENCH SPECTRUM +2 ROM 0 DISASSEMBLY ***"));
    EXPECT_FALSE(fs::exists(folder_ / "Spectrum+2_ROM0.asm"));
}

// A failed run prints each message as "title: message" on standard error and "Error!" last on standard output.
// Where the window's message names its boxes, veltrin-cli's names its options.
TEST_F(CliTest, FailedRunPrintsItsMessagesAndExitsWithOne) {
    CopySample("Spectrum128_ROM0.asm");
    const Result result = Run("--english same.asm --spanish ./same.asm");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "Name Error: The --english option and the --spanish option name the same file; choose another file "
              "name for one of them.\n");
    EXPECT_EQ(result.out, "Error!\n");
    EXPECT_FALSE(fs::exists(folder_ / "same.asm"));
}

// A script must not take a status line that never arrived for success.
TEST_F(CliTest, StatusLineThatCannotBeWrittenFailsTheRun) {
    CopySample("Spectrum128_ROM0.asm");
    EXPECT_EQ(Run("", "/dev/full").exitCode, 1);
}

TEST_F(CliTest, AnswersHelpAndVersion) {
    const Result version = Run("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, VersionText() + "\n");
    for (const char* option : {"--help", "-h"}) {
        const Result help = Run(option);
        EXPECT_EQ(help.exitCode, 0) << option;
        EXPECT_THAT(help.out, HasSubstr("--source FILE")) << option;
    }
}

TEST_F(CliTest, UsageErrorsExitWithTwoAndAHint) {
    for (const char* arguments : {"--sauce x.asm", "--english", "listing.asm"}) {
        const Result result = Run(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments;
        EXPECT_THAT(result.err, HasSubstr("--help")) << arguments;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << arguments;
        EXPECT_EQ(result.out, "") << arguments;
    }
}

}  // namespace
}  // namespace veltrin
