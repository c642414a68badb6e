#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include "support/test_folder.h"

namespace veltrin {
namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing_support::ReadFile;

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

    testing_support::TestFolder folder_;
};

TEST_F(CliTest, TakesEveryNameFromItsOption) {
    CopySample("128.asm");
    const Result result = Run("--source 128.asm --english en.asm --spanish=es.asm --french fr.asm");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Done!\n");
    EXPECT_THAT(ReadFile(folder_ / "en.asm"), HasSubstr("; *** SPECTRUM +2 ROM 0 DISASSEMBLY ***"));
    EXPECT_THAT(ReadFile(folder_ / "es.asm"), HasSubstr("; *** SPANISH SPECTRUM +2 ROM 0 DISASSEMBLY ***"));
    EXPECT_THAT(ReadFile(folder_ / "fr.asm"), HasSubstr("; *** FRENCH SPECTRUM +2 ROM 0 DISASSEMBLY ***"));
    EXPECT_FALSE(fs::exists(folder_ / "Spectrum+2_ROM0.asm"));
    // A script must not take a status line that never arrived for success.
    EXPECT_EQ(Run("--source 128.asm --english en.asm --spanish=es.asm --french fr.asm", "/dev/full").exitCode, 1);
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

TEST_F(CliTest, AnswersHelpAndVersion) {
    const Result version = Run("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_THAT(version.out, testing::MatchesRegex("Veltrin team, V[0-9]+\\.[0-9][0-9]\n"));
    for (const char* option : {"--help", "-h"}) {
        const Result help = Run(option);
        EXPECT_EQ(help.exitCode, 0) << option;
        EXPECT_EQ(help.out, ReadFile(VELTRIN_TEST_DATA "/cli_help.txt")) << option;
    }
}

TEST_F(CliTest, UsageErrorsExitWithTwoAndAHint) {
    for (const auto& [arguments, problem] : {std::pair{"--sauce x.asm", "unknown argument \"--sauce\""},
                                             std::pair{"--english", "--english needs a file name"}}) {
        const Result result = Run(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments;
        EXPECT_EQ(result.err, "veltrin-cli: " + std::string(problem) + "; try \"veltrin-cli --help\".\n");
    }
}

// An edit of the files of a fresh run (an empty "from" deletes the file), and what --check says.
struct CheckCase {
    const char* name;
    const char* file;
    std::string from;
    std::string to;
    const char* arguments;
    int exitCode;
    std::string out;
    std::string err;
};

const std::string kEnglish = "Spectrum +2 ROM disassembly \"Spectrum+2_ROM0.asm\": ";
const std::string kSpanish = "Spanish Spectrum +2 ROM disassembly \"Spectrum+2_Spanish_ROM0.asm\": ";
const std::string kFrench = "French Spectrum +2 ROM disassembly \"Spectrum+2_French_ROM0.asm\": ";

const CheckCase kCheckCases[] = {
    {"Fresh", nullptr, "", "", "--check", 0,
     kEnglish + "up to date\n" + kSpanish + "up to date\n" + kFrench + "up to date\n", ""},
    {"SpanishByteChanged", "Spectrum+2_Spanish_ROM0.asm", "SPANISH SPECTRUM", "SPANISH\tSPECTRUM",
     "--check --quiet --french absent.asm", 1,
     kSpanish + "differs from line 2\n  expected: \"; *** SPANISH SPECTRUM +2 ROM 0 DISASSEMBLY ***\"\n"
                "  found:    \"; *** SPANISH\\x09SPECTRUM +2 ROM 0 DISASSEMBLY ***\"\n  1 line differs in all\n"
                "French Spectrum +2 ROM disassembly \"absent.asm\": missing\n",
     ""},
    {"FrenchDeleted", "Spectrum+2_French_ROM0.asm", "", "", "--check", 1,
     kEnglish + "up to date\n" + kSpanish + "up to date\n" + kFrench + "missing\n", ""},
    {"SourceLabelMissing", "Spectrum128_ROM0.asm", "\nL0561:", "\nX0561:", "--check", 1, "Error!\n",
     "Convert Error: Failed to copy until label L0561\nLoad Error: Failed to create Spectrum +2 ROM disassembly\n"},
};

void PrintTo(const CheckCase& check, std::ostream* out) { *out << check.name; }

class CheckTest : public CliTest, public testing::WithParamInterface<CheckCase> {};

TEST_P(CheckTest, ComparesTheListingsWithTheirFiles) {
    const CheckCase& check = GetParam();
    CopySample("Spectrum128_ROM0.asm");
    ASSERT_EQ(Run("--quiet").out, "");  // a fresh run, which says nothing when quiet
    if (check.file != nullptr && check.from.empty()) {
        fs::remove(folder_ / check.file);
    } else if (check.file != nullptr) {
        std::string bytes = ReadFile(folder_ / check.file);
        bytes.replace(bytes.find(check.from), check.from.size(), check.to);
        testing_support::WriteFile(folder_ / check.file, bytes);
    }
    const Result result = Run(check.arguments);
    EXPECT_EQ(result.exitCode, check.exitCode);
    EXPECT_EQ(result.out, check.out);
    EXPECT_EQ(result.err, check.err);
}

INSTANTIATE_TEST_SUITE_P(Edits, CheckTest, testing::ValuesIn(kCheckCases),
                         [](const testing::TestParamInfo<CheckCase>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace veltrin
