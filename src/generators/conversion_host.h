#pragma once

#include <string_view>

namespace veltrin {

// What a conversion needs from the program around it: a yield after each block that a model script finds, where
// the window repaints or a derivation on a thread of its own learns that it is to stop, and a modal message when a
// step of the script fails. Without a window both do nothing.
class ConversionHost {
  public:
    ConversionHost() = default;
    ConversionHost(const ConversionHost&) = delete;
    ConversionHost& operator=(const ConversionHost&) = delete;
    virtual ~ConversionHost() = default;

    // Lets the window handle its pending events. May throw RunCancelled when the user asked to leave.
    virtual void Yield() {}

    // Shows a modal message with an exclamation icon and a single OK button; returns once it is closed.
    virtual void ShowMessage(std::string_view /*message*/, std::string_view /*title*/) {}
};

// Thrown from a yield when the user ends the program during a run. It is not a std::exception on purpose:
// the generators turn every run-time error into a failed listing, but this one must unwind the whole run.
struct RunCancelled {};

}  // namespace veltrin
