#pragma once

#include <string>
#include <string_view>

#include "generators/conversion_host.h"

namespace veltrin {

// The four file name boxes of the window.
enum class FileBox { k128Rom, kPlus2Rom, kFrenchPlus2Rom, kSpanishPlus2Rom };

// The inputs that a run disables, in the order in which it disables and enables them.
enum class RunInput { kTxt128Rom, kTxtPlus2Rom, kTxtFrenchPlus2Rom, kTxtSpanishPlus2Rom, kCmdCreate };

// What the create command needs of the window. Yield and ShowMessage come from ConversionHost.
class CreateView : public ConversionHost {
  public:
    virtual std::string FileName(FileBox box) const = 0;  // the text of the box, UTF-8
    // Where the user gives the box's name, as messages speak of it: "French +2 ROM 0 Filename box".
    virtual std::string InputName(FileBox box) const = 0;
    virtual void SetStatus(const std::string& caption) = 0;
    virtual void SetInputEnabled(RunInput input, bool enabled) = 0;
    virtual void SetBusyPointer(bool busy) = 0;
};

enum class RunOutcome {
    kDone,       // all three listings written, status "Done!"
    kError,      // stopped at the first failure, status "Error!"
    kCancelled,  // the user ended the program during a yield; nothing more was done
};

inline constexpr const char* kDoneStatus = "Done!";
inline constexpr const char* kErrorStatus = "Error!";

// Load the 128 listing once, check the three listing names, then generate and write the English, Spanish and
// French +2 listings in turn. Every failure, an unexpected one too, ends the run with a message and "Error!".
class CreateCommand {
  public:
    explicit CreateCommand(CreateView& view) : view_(view) {}
    RunOutcome Run();

  private:
    RunOutcome Convert();
    RunOutcome Fail(std::string_view message, std::string_view title);
    void Finish(std::string_view status);

    CreateView& view_;
};

}  // namespace veltrin
