#include "window_rows.h"

#include <algorithm>
#include <functional>
#include <map>
#include <stdexcept>

#include "commands/source_listing.h"
#include "commands/version_text.h"
#include "support/file_edits.h"

namespace veltrin::testing_support {

namespace {

namespace fs = std::filesystem;

constexpr const char* kEarlierListing = "; An earlier run's listing.\r\n";

Control ControlNamed(const std::string& name) {
    const auto* found = std::ranges::find(kControls, name, &ControlLayout::name);
    return found != kControls.end() ? found->control : throw std::invalid_argument("no control " + name);
}

// What a row expects, with "{version}" the version text and "{folder}" the row's folder in full, as a message names
// it ("{folder}/" with the system's own separator after it).
std::string Expanded(std::string text, const fs::path& folder) {
    const std::u8string inFolder = (folder / "").u8string();
    const std::pair<std::string, std::string> values[]{{"{version}", VersionText()},
                                                       {"{folder}/", {inFolder.begin(), inFolder.end()}},
                                                       {"{folder}", {inFolder.begin(), inFolder.end() - 1}}};
    for (const auto& [placeholder, value] : values) {
        text = EditedText(text, "every " + placeholder + " => " + value);
    }
    return text;
}

}  // namespace

bool DrivenWindow::WaitUntil(const std::function<bool()>& done) {
    bool isDone = done();
    for (int pause = 0; pause < 500 && !isDone; ++pause, isDone = done()) {
        Pause();
    }
    return isDone;
}

std::string InputState(DrivenWindow& window) {
    const auto enabled =
        std::ranges::count_if(kRunInputs, [&window](Control input) { return window.IsEnabled(input); });
    const std::string state = enabled == 0 ? "held" : enabled == 5 ? "idle" : std::to_string(enabled) + " inputs";
    return window.IsEnabled(Control::cmdExit) ? state : state + " without Exit";
}

std::string DerivedListings(const fs::path& folder, bool sourceEdited) {
    std::string derived;
    for (const Plus2Model* model : kPlus2Models) {
        const std::string listing = ReadFile(folder / std::string(model->defaultFileName));
        const bool golden = sourceEdited || listing == ReadFile(fs::path(VELTRIN_TEST_DATA) / model->defaultFileName);
        if (listing != kEarlierListing) {
            derived += (golden ? " " : " wrong ") + std::string(model->option.substr(2));
        }
    }
    return derived.empty() ? "none" : derived.substr(1);
}

void PrepareRowFolder(const fs::path& folder) {
    fs::create_directories(folder);
    fs::copy_file(VELTRIN_SAMPLE_LISTING, folder / std::string(kSourceDefaultFileName),
                  fs::copy_options::overwrite_existing);
    for (const Plus2Model* model : kPlus2Models) {
        WriteFile(folder / std::string(model->defaultFileName), kEarlierListing);
    }
}

std::string RunWindowRow(const IndentedRow& row, const fs::path& folder, DrivenWindow& window) {
    std::string failures;
    std::vector<std::string> message;  // the last shown, and the state of the inputs meanwhile
    bool sourceEdited = false;
    for (const std::string& step : row.lines) {
        const std::string verb = step.substr(0, step.find(' '));
        const std::string rest = step.substr(std::min(step.size(), verb.size() + 1));
        const std::string first = rest.substr(0, rest.find(' '));
        const std::string second = rest.substr(std::min(rest.size(), first.size() + 1));
        // Waits a while for what the step expects, and says what was found instead.
        const auto expect = [&](const std::string& expected, const std::function<std::string()>& found) {
            std::string last;
            if (!window.WaitUntil([&] { return (last = found()) == expected; })) {
                failures += "\n  " + step + "\n    found: " + last;
            }
        };
        if (verb == "key") {
            window.Key(rest);
        } else if (verb == "click") {
            window.Click(ControlNamed(rest));
            if (LayoutOf(ControlNamed(rest)).kind == ControlKind::kBox) {  // the Windows window takes it in its turn
                expect(rest, [&] { return window.FocusName(); });
            }
        } else if (verb == "type" || verb == "name") {
            std::invoke(verb == "type" ? &DrivenWindow::Type : &DrivenWindow::Name, window, ControlNamed(first),
                        second);
        } else if (verb == "source") {
            EditFile(folder / std::string(kSourceDefaultFileName), rest);
            sourceEdited = true;
        } else if (verb == "close-window-at-next-message") {
            window.closeWindowAtNextMessage = true;
        } else if (verb == "message") {
            message.clear();
            expect(Expanded(rest, folder), [&] {
                message = message.empty() ? window.NextMessage() : message;
                return message.empty() ? "no message" : message.at(0);
            });
        } else if (verb == "create-then") {
            window.CreateThenStop(rest == "close");
        } else {
            // The checks of a state that has no arguments to parse: what the step says is what is expected.
            const std::map<std::string, std::function<std::string()>> states{
                {"see",
                 [&] { return first + " " + (first == "window" ? window.Title() : window.Text(ControlNamed(first))); }},
                {"place",
                 [&] {
                     std::string place = first;
                     for (const int number : window.Place(ControlNamed(first))) {
                         place += " " + std::to_string(number);
                     }
                     return place;
                 }},
                {"focus", [&] { return window.FocusName(); }},
                {"held", [&] { return message.empty() ? "" : message.at(1); }},
                {"idle", [&] { return InputState(window); }},
                {"listings", [&] { return DerivedListings(folder, sourceEdited); }},
                {"size", [&] { return window.HasFixedSize() ? "fixed" : "not fixed"; }},
                {"closed", [&] { return window.IsClosed() ? "closed" : "open"; }}};
            expect(rest.empty() ? verb : Expanded(rest, folder), states.at(verb));
        }
    }
    return failures;
}

}  // namespace veltrin::testing_support
