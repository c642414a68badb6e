#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "generators/plus2_models.h"
#include "support/child_process.h"
#include "support/data_table.h"
#include "support/test_folder.h"

namespace veltrin {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;

struct Result {
    int exitCode;
    std::string out;
    std::string err;
};

// Runs veltrin-cli as a process in a folder of its own, as a script would; the arguments are read by the shell,
// after the redirections of the output to files.
class CliTest : public testing::Test {
  protected:
    Result Run(const std::string& arguments) const {
        const std::string command =
            "cd '" + folder_.Path().string() + "' && '" VELTRIN_CLI "' >stdout.txt 2>stderr.txt " + arguments;
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(folder_ / "stdout.txt"),
                ReadFile(folder_ / "stderr.txt")};
    }

    testing_support::TestFolder folder_;
};

// What veltrin-cli prints after edits of the files of a fresh run, one row of check_runs.txt a case.
class CliRunTest : public CliTest, public testing::WithParamInterface<std::vector<std::string>> {
  protected:
    void Edit(const std::string& edit) const {
        if (edit.starts_with("delete ")) {
            fs::remove(folder_ / edit.substr(7));
        } else if (edit.starts_with("cut off ")) {
            testing_support::CutOffRewrite(folder_ / edit.substr(8));
        } else if (edit.starts_with("line feeds ")) {
            const std::size_t to = edit.find(" to ");
            testing_support::WriteFile(folder_ / edit.substr(11, to - 11),
                                       std::string(std::stoul(edit.substr(to + 4)), '\n'));
        } else if (edit.starts_with("grow ")) {
            const std::size_t to = edit.find(" to ");
            fs::resize_file(folder_ / edit.substr(5, to - 5), std::stoull(edit.substr(to + 4)));
        } else if (!edit.empty()) {  // "FILE: EDIT", an edit of support/file_edits.h
            const std::size_t colon = edit.find(": ");
            testing_support::EditFile(folder_ / edit.substr(0, colon), edit.substr(colon + 2));
        }
    }
};

TEST_P(CliRunTest, PrintsWhatItsRowSays) {
    const auto unescaped = [this](const std::string& text) {
        return std::regex_replace(text == "-" ? "" : testing_support::Unescaped(text), std::regex(R"(\{folder\})"),
                                  folder_.Path().string());
    };
    const std::vector<std::string>& row = GetParam();  // edits | arguments | exit status | output | error output
    SCOPED_TRACE(row.at(0) + " | " + row.at(1));
    ::setenv("XDG_STATE_HOME", (folder_ / "state").c_str(), 1);  // veltrin-cli's too
    fs::copy_file(VELTRIN_SAMPLE_LISTING, folder_ / "Spectrum128_ROM0.asm");
    ASSERT_EQ(Run("--quiet").out, "");  // a fresh run, which says nothing when quiet
    fs::create_directories(folder_ / "derived");
    for (const Plus2Model* model : kPlus2Models) {
        fs::copy_file(folder_ / model->defaultFileName, folder_ / "derived" / model->defaultFileName);
    }
    for (const std::string& edit : testing_support::Split(unescaped(row.at(0)), " && ")) {
        Edit(edit);
    }
    std::string expected = unescaped(row.at(3));
    for (std::smatch diff; std::regex_search(expected, diff, std::regex(R"(\{diff ([^}]*) ([^ }]+)\})"));) {
        std::system(("cd '" + folder_.Path().string() + "' && diff " + diff.str(1) + " " + diff.str(2) + " derived/" +
                     diff.str(2) + " | tail -n +3 >hunks")
                        .c_str());
        expected.replace(static_cast<std::size_t>(diff.position()), static_cast<std::size_t>(diff.length()),
                         ReadFile(folder_ / "hunks"));
    }
    expected = expected == "{help}" ? ReadFile(VELTRIN_TEST_DATA "/cli_help.txt") : expected;
    const Result result = Run(row.at(1));
    EXPECT_EQ(result.exitCode, std::stoi(row.at(2)));
    EXPECT_EQ(std::regex_replace(result.out, std::regex(R"([0-9]+\.vlt-old)"), "KEY.vlt-old"),  // a backup's name
              std::regex_replace(expected, std::regex(R"(\{state\})"), (folder_ / "state" / "veltrin").string()));
    EXPECT_EQ(result.err, unescaped(row.at(4)));
}

INSTANTIATE_TEST_SUITE_P(CliTest, CliRunTest, testing::ValuesIn(testing_support::ReadDataTable("check_runs.txt")));

}  // namespace
}  // namespace veltrin
