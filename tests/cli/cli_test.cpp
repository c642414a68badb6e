#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "generators/plus2_models.h"
#include "support/child_process.h"
#include "support/data_table.h"
#include "support/test_folder.h"

namespace veltrin {
namespace {

namespace fs = std::filesystem;
using testing::AllOf;
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
    EXPECT_THAT(version.out,
                testing::MatchesRegex("veltrin-cli [0-9]+\\.[0-9]+\nVeltrin team, V[0-9]+\\.[0-9][0-9]\n"));
    for (const char* option : {"--help", "-h"}) {
        const Result help = Run(option);
        EXPECT_EQ(help.exitCode, 0) << option;
        EXPECT_EQ(help.out, ReadFile(VELTRIN_TEST_DATA "/cli_help.txt")) << option;
    }
    // The help is written out by hand: it must still name each model's option and default name.
    for (const Plus2Model* model : kPlus2Models) {
        EXPECT_THAT(Run("--help").out, AllOf(HasSubstr(model->option), HasSubstr(model->defaultFileName)));
    }
}

TEST_F(CliTest, UsageErrorsExitWithTwoAndAHint) {
    for (const auto& [arguments, problem] : {
             std::pair{"--sauce x.asm", "unknown argument \"--sauce\""},
             std::pair{"--check=yes", "unknown argument \"--check=yes\""},
             std::pair{"--english", "--english needs a file name"},
             std::pair{"--source=", "--source needs a file name"},
             std::pair{"--french ''", "--french needs a file name"},
             std::pair{"--spanish a.asm --spanish=b.asm", "--spanish is given twice"},
             std::pair{"--quiet --check --quiet", "--quiet is given twice"},
             std::pair{"--diff", "--diff goes with --check"},
             std::pair{"--check -- --quiet", "unexpected argument \"--quiet\" after --"},
         }) {
        const Result result = Run(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments;
        EXPECT_EQ(result.err, "veltrin-cli: " + std::string(problem) + "; try \"veltrin-cli --help\".\n");
    }
}

// What the check mode prints after edits of the files of a fresh run, one row of check_runs.txt a case. A
// "{diff OPTIONS FILE}" in the expected output stands for the hunks that GNU diff, with those options, finds from the
// edited file to the derived one.
class CheckRunTest : public CliTest, public testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(CheckRunTest, PrintsWhatItsRowSays) {
    const auto unescaped = [](const std::string& text) {
        std::string bytes = text == "-" ? "" : text;
        for (const auto& [escape, byte] : {std::pair{R"(\\n)", "\n"}, {R"(\\t)", "\t"}, {R"(\\r)", "\r"}}) {
            bytes = std::regex_replace(bytes, std::regex(escape), byte);
        }
        return bytes;
    };
    const std::vector<std::string>& row = GetParam();  // edits | arguments | exit status | output | error output
    SCOPED_TRACE(row.at(0) + " | " + row.at(1));
    ::setenv("XDG_STATE_HOME", (folder_ / "state").c_str(), 1);  // veltrin-cli's too
    CopySample("Spectrum128_ROM0.asm");
    ASSERT_EQ(Run("--quiet").out, "");  // a fresh run, which says nothing when quiet
    fs::create_directories(folder_ / "derived");
    for (const Plus2Model* model : kPlus2Models) {
        fs::copy_file(folder_ / model->defaultFileName, folder_ / "derived" / model->defaultFileName);
    }
    for (std::string edits = unescaped(row.at(0)), edit; !edits.empty();) {
        const std::size_t next = edits.find(" && ");
        edit = edits.substr(0, next);
        edits = next == std::string::npos ? "" : edits.substr(next + 4);
        if (edit.starts_with("delete ")) {
            fs::remove(folder_ / edit.substr(7));
        } else if (edit.starts_with("cut off ")) {
            testing_support::CutOffRewrite(folder_ / edit.substr(8));
        } else if (edit.starts_with("create ")) {
            testing_support::WriteFile(folder_ / edit.substr(7), "");
        } else if (edit.starts_with("grow ")) {
            const std::size_t to = edit.find(" to ");
            fs::resize_file(folder_ / edit.substr(5, to - 5), std::stoull(edit.substr(to + 4)));
        } else if (const std::size_t colon = edit.find(": "); colon != std::string::npos) {
            const std::size_t arrow = edit.find(" => ");
            const bool every = edit.substr(colon + 2).starts_with("every ");
            const std::string from = edit.substr(colon + (every ? 8 : 2), arrow - colon - (every ? 8 : 2));
            const std::string to = edit.substr(arrow + 4);
            std::string bytes = ReadFile(folder_ / edit.substr(0, colon));
            for (std::size_t at = bytes.find(from); at != std::string::npos;
                 at = every ? bytes.find(from, at + to.size()) : std::string::npos) {
                bytes.replace(at, from.size(), to);
            }
            testing_support::WriteFile(folder_ / edit.substr(0, colon), bytes);
        }
    }
    std::string expected = unescaped(row.at(3));
    for (std::smatch diff; std::regex_search(expected, diff, std::regex(R"(\{diff ([^}]*) ([^ }]+)\})"));) {
        const std::string hunks = (folder_ / "hunks").string();
        std::system(("cd '" + folder_.Path().string() + "' && diff " + diff.str(1) + " " + diff.str(2) + " derived/" +
                     diff.str(2) + " | tail -n +3 >'" + hunks + "'")
                        .c_str());
        expected.replace(static_cast<std::size_t>(diff.position()), static_cast<std::size_t>(diff.length()),
                         ReadFile(hunks));
    }
    const Result result = Run(row.at(1));
    EXPECT_EQ(result.exitCode, std::stoi(row.at(2)));
    EXPECT_EQ(std::regex_replace(result.out, std::regex(R"([0-9]+\.vlt-old)"), "KEY.vlt-old"),  // a backup's name
              std::regex_replace(expected, std::regex(R"(\{state\})"), (folder_ / "state" / "veltrin").string()));
    EXPECT_EQ(result.err, unescaped(row.at(4)));
}

INSTANTIATE_TEST_SUITE_P(CliTest, CheckRunTest, testing::ValuesIn(testing_support::ReadDataTable("check_runs.txt")));

}  // namespace
}  // namespace veltrin
