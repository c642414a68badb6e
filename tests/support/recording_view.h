#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "commands/create_view.h"

namespace veltrin::testing_support {

// Keeps what a command shows as the window would, and the messages that it shows as "title: text". Its boxes go by
// the window's names for them.
class RecordingView : public CreateView {
  public:
    std::string sourceName;
    std::map<Plus2Language, std::string> listingNames;
    std::string status;
    bool inputsEnabled = true;
    bool busyPointer = false;
    std::vector<std::string> messages;
    std::function<void()> onYield;

    std::string SourceName() const override { return sourceName; }
    std::string SourceInputName() const override { return "128 ROM 0 Filename box"; }
    std::string ListingName(const Plus2Model& model) const override { return listingNames.at(model.language); }
    std::string ListingInputName(const Plus2Model& model) const override {  // "Spanish +2 ROM 0 Filename box"
        std::string name(model.name);
        return name.erase(name.find("Spectrum "), 9) + " ROM 0 Filename box";
    }
    void SetStatus(std::string_view text) override { status = text; }
    void SetInputsEnabled(bool enabled) override { inputsEnabled = enabled; }
    void SetBusyPointer(bool busy) override { busyPointer = busy; }
    void ShowMessage(std::string_view message, std::string_view title) override {
        messages.push_back(std::string(title) + ": " + std::string(message));
    }
    void Yield() override {
        if (onYield) {
            onYield();
        }
    }
};

}  // namespace veltrin::testing_support
