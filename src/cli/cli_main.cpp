// veltrin-cli: regenerates the three +2 listings from a script, through the same create command as the window.
#include <exception>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "commands/check_command.h"
#include "commands/create_command.h"
#include "commands/source_listing.h"
#include "commands/version_text.h"
#include "files/message_text.h"

// After the project's headers, as windows.h defines macros (Yield among them) that clash with their names.
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h first: shellapi.h needs its types.
#include <shellapi.h>
#undef Yield  // an old macro of windows.h, which would rename the view's own
#endif

namespace {

using veltrin::kPlus2Models;
using veltrin::Plus2Language;
using veltrin::Plus2Model;

constexpr std::string_view kUsage =
    "Usage: veltrin-cli [--check [--diff]] [--quiet] [--source FILE] [--english FILE] [--spanish FILE]\n"
    "                   [--french FILE]\n"
    "       veltrin-cli -h | --help | --version\n"
    "\n"
    "Derives the English, Spanish and French Spectrum +2 ROM 0 listings from the Spectrum 128 ROM 0 listing.\n"
    "Each name defaults to the window's: Spectrum128_ROM0.asm, Spectrum+2_ROM0.asm,\n"
    "Spectrum+2_Spanish_ROM0.asm and Spectrum+2_French_ROM0.asm, in the current folder. A name follows its\n"
    "option or an \"=\" after it (--source=FILE) and may not be empty; no option may be given twice, and\n"
    "\"--\" ends the options.\n"
    "Messages go to standard error as \"<title>: <message>\"; the last line of standard output is \"Done!\" or\n"
    "\"Error!\". Exit status: 0 after Done!, 1 after Error!, 2 for a usage error.\n"
    "\n"
    "  --check    write nothing: derive the three listings in memory and compare each with its file, and\n"
    "             say so for each: \"up to date\", \"missing\", \"cannot be read\" or another reason why its\n"
    "             file cannot be compared, \"cut off while a run rewrote it\", or what differs, counted as a\n"
    "             person would (\"1 line added at line 102\", \"3 lines changed from line 120, 2 removed at\n"
    "             line 400\", \"N changes from line L\" past three, \"its lines end in LF, not CR LF\"), with\n"
    "             the expected and the found line of the first change. A difference too large to work out\n"
    "             is given as \"differs from line N\" with how many lines differ. Exit status 0 when all\n"
    "             three are up to date, 1 when one is not or a listing cannot be derived (then the messages\n"
    "             of a run and \"Error!\").\n"
    "  --diff     with --check, print after the report of each listing that differs a unified diff with\n"
    "             three lines of context, as \"diff -u\" prints it, from the file to the derived listing.\n"
    "  --quiet    print only errors: the messages, but no \"Done!\" or \"Error!\", and with --check only the\n"
    "             listings that are not up to date; with --diff, a diff that shows all stands alone.\n"
    "  -h, --help print this help.\n"
    "  --version  print the program's name and version, then the version text of the window.\n"
    "\n"
    "A CI step that fails when a +2 listing was edited by hand or not regenerated after a correction:\n"
    "  veltrin-cli --check --quiet --diff\n";

constexpr int kUsageError = 2;
constexpr int kEndedBySignal = 128;  // and the signal's number, as a shell reports a program that a signal ended

constexpr std::string_view kSourceOption = "--source";

// The file names of a run, as the window's boxes would hold them: each from its option, or its default.
class CommandLineView final : public veltrin::CreateView {
  public:
    CommandLineView() : sourceName_(veltrin::kSourceDefaultFileName) {
        for (const Plus2Model* model : kPlus2Models) {
            listingNames_[model->language] = model->defaultFileName;
        }
    }

    // Where the name that the option gives goes, or nullptr for an option that gives no file name.
    std::string* NameOfOption(std::string_view option) {
        if (option == kSourceOption) {
            return &sourceName_;
        }
        for (const Plus2Model* model : kPlus2Models) {
            if (model->option == option) {
                return &listingNames_[model->language];
            }
        }
        return nullptr;
    }
    const std::string& Status() const { return status_; }

    std::string SourceName() const override { return sourceName_; }
    std::string SourceInputName() const override { return std::string(kSourceOption) + " option"; }
    std::string ListingName(const Plus2Model& model) const override { return listingNames_.at(model.language); }
    std::string ListingInputName(const Plus2Model& model) const override {
        return std::string(model.option) + " option";
    }
    void SetStatus(std::string_view status) override { status_ = status; }
    void SetInputsEnabled(bool /*enabled*/) override {}
    void SetBusyPointer(bool /*busy*/) override {}
    // Takes a Ctrl-C or a request to end that came since the last yield: the run unwinds from here, and its
    // staging files go with it.
    void Yield() override {
        if (const int signal = veltrin::TakeEndRequest(); signal != 0) {
            endSignal_ = signal;
            throw veltrin::RunCancelled{};
        }
    }
    // The signal that ended the run, or 0.
    int EndSignal() const { return endSignal_; }
    void ShowMessage(std::string_view message, std::string_view title) override {
        std::cerr << title << ": " << message << '\n';
    }

  private:
    std::string sourceName_;
    std::map<Plus2Language, std::string> listingNames_;
    std::string status_;
    int endSignal_ = 0;
};

int UsageError(const std::string& problem) {
    std::cerr << "veltrin-cli: " << problem << "; try \"veltrin-cli --help\".\n";
    return kUsageError;
}

// The exit status, unless standard output could not take what was printed: a script must not read a lost
// "Error!" as success.
int AfterPrinting(int exitStatus) {
    std::cout.flush();
    return std::cout ? exitStatus : 1;
}

#ifdef _WIN32
std::string Utf8FromWide(std::wstring_view wide) {
    const int length = static_cast<int>(wide.size());
    std::string utf8;
    utf8.resize(
        static_cast<std::size_t>(::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr)));
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8.data(), static_cast<int>(utf8.size()), nullptr,
                          nullptr);
    return utf8;
}
#endif

// The arguments after the program name, in UTF-8 on every platform: the file names go through PathFromUtf8.
// On Windows argv is in the ANSI code page, which cannot spell every file name, so they are taken from the
// UTF-16 command line instead.
std::vector<std::string> CommandLineArguments(int argc, char** argv) {
#ifdef _WIN32
    int count = 0;
    if (wchar_t** const wide = ::CommandLineToArgvW(::GetCommandLineW(), &count); wide != nullptr) {
        std::vector<std::string> arguments;
        for (int index = 1; index < count; ++index) {
            arguments.push_back(Utf8FromWide(wide[index]));
        }
        ::LocalFree(wide);
        return arguments;
    }
#endif
    return {argv + 1, argv + argc};
}

#ifdef _WIN32
// The messages quote file names in UTF-8, which a console shows as such only in its UTF-8 code page. The
// console's own code page is given back when the run ends, as the console outlives the program.
class Utf8Console {
  public:
    Utf8Console() : previous_(::GetConsoleOutputCP()) { ::SetConsoleOutputCP(CP_UTF8); }
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;
    ~Utf8Console() {
        if (previous_ != 0) {
            ::SetConsoleOutputCP(previous_);
        }
    }

  private:
    UINT previous_;
};
#endif

// What the command line asks for besides the file names.
struct RunMode {
    bool check = false;  // compare the listings with their files instead of writing them
    bool diff = false;   // and print the differences as unified diffs
    bool quiet = false;  // print only errors
};

// Reads the options into the view's names and the mode, or answers --help and --version; an exit status when done.
std::optional<int> ReadOptions(const std::vector<std::string>& argumentTexts, CommandLineView& view, RunMode& mode) {
    const std::vector<std::string_view> arguments(argumentTexts.begin(), argumentTexts.end());
    const std::map<std::string_view, bool*> switches{
        {"--check", &mode.check}, {"--diff", &mode.diff}, {"--quiet", &mode.quiet}};
    std::set<std::string_view> given;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view option = arguments[i];
        if (option == "--help" || option == "-h") {
            std::cout << kUsage;
            return AfterPrinting(0);
        }
        if (option == "--version") {
            std::cout << "veltrin-cli " << veltrin::kVersionMajor << '.' << veltrin::kVersionMinor << '\n'
                      << veltrin::VersionText() << '\n';
            return AfterPrinting(0);
        }
        if (option == "--") {
            if (i + 1 < arguments.size()) {
                return UsageError("unexpected argument " + veltrin::QuotedText(arguments[i + 1]) + " after --");
            }
            break;
        }
        std::optional<std::string_view> value;
        if (const std::size_t equals = option.find('='); equals != std::string_view::npos) {
            value = option.substr(equals + 1);
            option = option.substr(0, equals);
        }
        const bool isSwitch = !value && switches.contains(option);
        std::string* const name = isSwitch ? nullptr : view.NameOfOption(option);
        if (!isSwitch && name == nullptr) {
            return UsageError("unknown argument " + veltrin::QuotedText(arguments[i]));
        }
        // A script that names a file twice has a mistake in it: neither name is surely the one meant.
        if (!given.insert(option).second) {
            return UsageError(std::string(option) + " is given twice");
        }
        if (isSwitch) {
            *switches.at(option) = true;
            continue;
        }
        if (!value && i + 1 < arguments.size()) {
            value = arguments[++i];
        }
        if (!value || value->empty()) {
            return UsageError(std::string(option) + " needs a file name");
        }
        *name = *value;
    }
    if (mode.diff && !mode.check) {
        return UsageError("--diff goes with --check");
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    // Before any thread is born, so that every thread holds them off: they wait for the run's next yield.
    veltrin::HoldEndRequests();
#ifdef _WIN32
    const Utf8Console utf8Console;
#endif
    try {
        CommandLineView view;
        RunMode mode;
        if (const std::optional<int> answered = ReadOptions(CommandLineArguments(argc, argv), view, mode)) {
            return *answered;
        }
        bool succeeded = false;
        try {
            succeeded = mode.check ? veltrin::CheckListings(view, std::cout, {mode.quiet, mode.diff}) ==
                                         veltrin::CheckOutcome::kUpToDate
                                   : veltrin::CreateCommand(view).Run() == veltrin::RunOutcome::kDone;
        } catch (const veltrin::RunCancelled&) {
        }
        if (view.EndSignal() != 0) {
            return kEndedBySignal + view.EndSignal();
        }
        if (!mode.quiet && !view.Status().empty()) {
            std::cout << view.Status() << '\n';
        }
        return AfterPrinting(succeeded ? 0 : 1);
    } catch (...) {
        // The run itself turns its errors into messages; this is what is left, such as no memory for the options.
        std::cerr << "veltrin-cli: stopped on an unexpected error.\n";
        return 1;
    }
}
