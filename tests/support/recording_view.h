#pragma once

#include <array>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "commands/create_command.h"

namespace veltrin::testing_support {

// Records what the create command asks of the window, yields apart (the scripts yield after every block), as
// lines such as "disable cmdCreate" and "Load Error: Error loading Spectrum 128 ROM disassembly".
class RecordingView : public CreateView {
  public:
    std::map<FileBox, std::string> names;
    std::vector<std::string> calls;
    std::vector<std::string> messages;  // "title: text", also among the calls
    int yields = 0;
    std::function<void()> onYield;

    std::string FileName(FileBox box) const override { return names.at(box); }
    std::string InputName(FileBox box) const override {  // as the window calls its boxes
        static constexpr std::array<const char*, 4> kNames{"128 ROM 0 Filename box", "+2 ROM 0 Filename box",
                                                           "French +2 ROM 0 Filename box",
                                                           "Spanish +2 ROM 0 Filename box"};
        return kNames.at(static_cast<std::size_t>(box));
    }
    void SetStatus(const std::string& caption) override { calls.push_back("status " + caption); }
    void SetInputEnabled(RunInput input, bool enabled) override {
        static constexpr std::array<const char*, 5> kNames{"txt128ROM", "txtPlus2ROM", "txtFrenchPlus2ROM",
                                                           "txtSpanishPlus2ROM", "cmdCreate"};
        calls.push_back(std::string(enabled ? "enable " : "disable ") + kNames.at(static_cast<std::size_t>(input)));
    }
    void SetBusyPointer(bool busy) override { calls.push_back(busy ? "busy pointer" : "default pointer"); }
    void ShowMessage(std::string_view message, std::string_view title) override {
        messages.push_back(std::string(title) + ": " + std::string(message));
        calls.push_back(messages.back());
    }
    void Yield() override {
        ++yields;
        if (onYield) {
            onYield();
        }
    }
};

}  // namespace veltrin::testing_support
