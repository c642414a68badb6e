#pragma once

#include <string>
#include <string_view>

#include "files/file_system.h"
#include "generators/plus2_models.h"

namespace veltrin {

// What the create and check commands need of the program that runs them, the window or veltrin-cli: the names
// that the user gave, and where the run shows how it goes.
class CreateView {
  public:
    virtual ~CreateView() = default;

    // The names of the 128 listing and of a model's +2 listing, in UTF-8, as the user gave them.
    virtual std::string SourceName() const = 0;
    virtual std::string ListingName(const Plus2Model& model) const = 0;
    // Where the user gives the names, as messages speak of them: "French +2 ROM 0 Filename box".
    virtual std::string SourceInputName() const = 0;
    virtual std::string ListingInputName(const Plus2Model& model) const = 0;
    virtual void SetStatus(std::string_view status) = 0;
    // Takes away, or gives back, every input with which the user could change a name or start another run.
    virtual void SetInputsEnabled(bool enabled) = 0;
    virtual void SetBusyPointer(bool busy) = 0;
    // Lets the window handle its pending events while the command waits for the listings. Throws RunCancelled when
    // the user asked to leave.
    virtual void Yield() = 0;
    // Shows a modal message with an exclamation icon and a single OK button; returns once it is closed.
    virtual void ShowMessage(std::string_view message, std::string_view title) = 0;
};

// Thrown from a yield when the user ends the program during a run. It is not a std::exception on purpose: the
// commands turn every run-time error into a message, but this one must unwind the whole run.
struct RunCancelled {};

// Both programs hold off Ctrl-C, the request to end and the hang-up from their start, and take them at the run's
// yields (and the window when it is idle), so that whatever the program ends is ended by the run unwinding.
using file_system::HoldEndRequests;
using file_system::TakeEndRequest;

inline constexpr const char* kDoneStatus = "Done!";
inline constexpr const char* kErrorStatus = "Error!";

}  // namespace veltrin
