#pragma once

#include <string>

#include "generators/conversion_host.h"

namespace veltrin {

// The four file name boxes of the window.
enum class FileBox { k128Rom, kPlus2Rom, kFrenchPlus2Rom, kSpanishPlus2Rom };

// The inputs that a run disables, in the order in which it disables and enables them.
enum class RunInput { kTxt128Rom, kTxtPlus2Rom, kTxtFrenchPlus2Rom, kTxtSpanishPlus2Rom, kCmdCreate };

// What the create and check commands need of the program around them: the window, or veltrin-cli. Yield and
// ShowMessage come from ConversionHost.
class CreateView : public ConversionHost {
  public:
    virtual std::string FileName(FileBox box) const = 0;  // the text of the box, UTF-8
    // Where the user gives the box's name, as messages speak of it: "French +2 ROM 0 Filename box".
    virtual std::string InputName(FileBox box) const = 0;
    virtual void SetStatus(const std::string& caption) = 0;
    virtual void SetInputEnabled(RunInput input, bool enabled) = 0;
    virtual void SetBusyPointer(bool busy) = 0;
};

inline constexpr const char* kDoneStatus = "Done!";
inline constexpr const char* kErrorStatus = "Error!";

}  // namespace veltrin
