#include "window_rows.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "commands/source_listing.h"
#include "commands/version_text.h"

namespace veltrin::testing_support {

namespace {

namespace fs = std::filesystem;

constexpr int kPatience = 500;  // pauses that a check waits for what it expects, about ten seconds
constexpr const char* kEarlierListing = "; An earlier run's listing.\r\n";

std::string ReadFile(const fs::path& name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

Control ControlNamed(const std::string& name) {
    const auto* found = std::find_if(kControls.begin(), kControls.end(),
                                     [&name](const ControlLayout& control) { return control.name == name; });
    if (found == kControls.end()) {
        throw std::invalid_argument("no control " + name);
    }
    return found->control;
}

class RowRun {
  public:
    RowRun(const fs::path& folder, DrivenWindow& window) : folder_(folder), window_(window) {}

    void Step(const std::string& step) {
        const std::size_t space = step.find(' ');
        const std::string verb = step.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : step.substr(space + 1);
        const std::size_t split = rest.find(' ');
        const std::string first = rest.substr(0, split);
        const std::string second = split == std::string::npos ? "" : rest.substr(split + 1);
        if (verb == "see") {
            const std::string expected = second == "{version}" ? VersionText() : second;
            Expect(
                step, [&] { return window_.Text(ControlNamed(first)) == expected; },
                [&] { return window_.Text(ControlNamed(first)); });
        } else if (verb == "focus") {
            Expect(
                step, [&] { return window_.FocusName() == rest; }, [&] { return window_.FocusName(); });
        } else if (verb == "key") {
            window_.Key(rest);
        } else if (verb == "click") {
            window_.Click(ControlNamed(rest));
        } else if (verb == "type") {
            window_.Type(ControlNamed(first), second);
        } else if (verb == "name") {
            window_.Name(ControlNamed(first), second);
        } else if (verb == "source" && first == "without") {
            TakeOutLine(second);
            sourceEdited_ = true;
        } else if (verb == "message" || verb == "close-at-message") {
            lastMessage_ = window_.NextMessage();
            Check(step, lastMessage_ && lastMessage_->text == rest, lastMessage_ ? lastMessage_->text : "no message");
        } else if (verb == "held") {
            Check(step, lastMessage_ && lastMessage_->heldByRun, "not held");
        } else if (verb == "create-then") {
            window_.CreateThenStop(rest == "close");
        } else if (verb == "idle") {
            Expect(
                step, [&] { return IsIdle(); }, [] { return "not idle"; });
        } else if (verb == "listings") {
            Expect(
                step, [&] { return DerivedListings() == rest; }, [&] { return DerivedListings(); });
        } else if (verb == "closed") {
            Expect(
                step, [&] { return window_.IsClosed(); }, [] { return "still open"; });
        } else {
            throw std::invalid_argument("unknown step: " + step);
        }
    }

    std::vector<std::string> failures;

  private:
    void Check(const std::string& step, bool holds, const std::string& found) {
        if (!holds) {
            failures.push_back(step + "\n    found: " + found);
        }
    }

    void Expect(const std::string& step, const std::function<bool()>& holds,
                const std::function<std::string()>& found) {
        for (int pause = 0; pause < kPatience; ++pause) {
            if (holds()) {
                return;
            }
            window_.Pause();
        }
        Check(step, holds(), found());
    }

    bool IsIdle() {
        return std::all_of(kRunInputs.begin(), kRunInputs.end(),
                           [this](Control input) { return window_.IsEnabled(input); }) &&
               window_.IsEnabled(Control::cmdExit);
    }

    static std::string ModelName(const Plus2Model& model) {
        switch (model.language) {
            case Plus2Language::kEnglish:
                return "English";
            case Plus2Language::kSpanish:
                return "Spanish";
            case Plus2Language::kFrench:
                return "French";
        }
        return "";
    }

    // The +2 listings that were derived anew, by model, or "none"; each other must still hold the earlier run's
    // listing. A listing derived from the sample must be its golden listing.
    std::string DerivedListings() {
        std::string derived;
        for (const Plus2Model* model : kPlus2Models) {
            const std::string name(model->defaultFileName);
            const std::string listing = ReadFile(folder_ / name);
            const std::string modelName = ModelName(*model);
            if (listing != kEarlierListing &&
                (sourceEdited_ || listing == ReadFile(fs::path(VELTRIN_TEST_DATA) / name))) {
                derived += (derived.empty() ? "" : " ") + modelName;
            } else if (listing != kEarlierListing) {
                return modelName + " neither derived nor the earlier run's";
            }
        }
        return derived.empty() ? "none" : derived;
    }

    void TakeOutLine(const std::string& start) {
        const fs::path source = folder_ / std::string(kSourceDefaultFileName);
        std::string listing = ReadFile(source);
        const std::size_t at = listing.find("\r\n" + start);
        if (at == std::string::npos) {
            throw std::invalid_argument("no line starts with " + start);
        }
        listing.erase(at + 2, listing.find("\r\n", at + 2) - at);
        std::ofstream(source, std::ios::binary) << listing;
    }

    fs::path folder_;
    DrivenWindow& window_;
    std::optional<ShownMessage> lastMessage_;
    bool sourceEdited_ = false;
};

}  // namespace

std::vector<WindowRow> ReadWindowRows() {
    std::ifstream in(VELTRIN_TEST_DATA "/window_rows.txt");
    std::vector<WindowRow> rows;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line.starts_with('#')) {
            continue;
        }
        if (!line.starts_with("  ")) {
            rows.push_back({line, {}});
        } else if (!rows.empty()) {
            rows.back().steps.push_back(line.substr(2));
        }
    }
    return rows;
}

void PrepareRowFolder(const fs::path& folder) {
    fs::create_directories(folder);
    fs::copy_file(VELTRIN_SAMPLE_LISTING, folder / std::string(kSourceDefaultFileName));
    for (const Plus2Model* model : kPlus2Models) {
        std::ofstream(folder / std::string(model->defaultFileName), std::ios::binary) << kEarlierListing;
    }
}

bool HeldByRun(DrivenWindow& window) {
    return std::none_of(kRunInputs.begin(), kRunInputs.end(),
                        [&window](Control input) { return window.IsEnabled(input); }) &&
           window.IsEnabled(Control::cmdExit);
}

std::vector<std::string> RunWindowRow(const WindowRow& row, const fs::path& folder, DrivenWindow& window) {
    std::vector<bool> closeWindowFirst;
    for (const std::string& step : row.steps) {
        if (step.starts_with("message ") || step.starts_with("close-at-message ")) {
            closeWindowFirst.push_back(step.starts_with("close-at-message "));
        }
    }
    window.AnswerMessages(closeWindowFirst);
    RowRun run(folder, window);
    for (const std::string& step : row.steps) {
        run.Step(step);
    }
    return run.failures;
}

}  // namespace veltrin::testing_support
