#include "window/veltrin_form.h"

#include "commands/create_command.h"
#include "commands/version_text.h"
#include "window/quoted_names.h"
#include "window/utf16_text.h"

namespace veltrin {

std::string VeltrinForm::SourceName() const { return Utf8FromUtf16(ControlText(Control::txt128ROM)); }

std::string VeltrinForm::SourceInputName() const { return InputName(Control::txt128ROM); }

std::string VeltrinForm::ListingName(const Plus2Model& model) const { return Utf8FromUtf16(ControlText(BoxOf(model))); }

std::string VeltrinForm::ListingInputName(const Plus2Model& model) const { return InputName(BoxOf(model)); }

void VeltrinForm::SetStatus(std::string_view status) { SetControlText(Control::lblStatus, Utf16FromUtf8(status)); }

void VeltrinForm::SetInputsEnabled(bool enabled) {
    for (const Control input : kRunInputs) {
        EnableControl(input, enabled);
    }
}

void VeltrinForm::Yield() {
    ProcessEvents();
    if (TakeEndRequest() != 0) {
        exitRequested_ = true;
    }
    if (exitRequested_) {
        throw RunCancelled{};
    }
}

void VeltrinForm::ShowMessage(std::string_view message, std::string_view title) {
    const auto isBoundary = [this](std::u16string_view text, std::size_t position) {
        return IsCharacterBoundary(text, position);
    };
    ShowMessageBox(ShortenQuotedNames(Utf16FromUtf8(message), isBoundary), Utf16FromUtf8(title));
}

void VeltrinForm::ShowVersionText() { SetStatus(VersionText()); }

void VeltrinForm::Form_Load() { ShowVersionText(); }

void VeltrinForm::Box_Change(Control box) {
    if (LayoutOf(box).bringsBackVersionText) {
        ShowVersionText();
    }
}

void VeltrinForm::Box_GotFocus(Control box, FocusMove move) {
    if (LayoutOf(box).bringsBackVersionText && IsUsersFocusMove(move)) {
        ShowVersionText();
    }
}

void VeltrinForm::cmdCreate_Click() {
    if (running_) {
        return;
    }
    running_ = true;
    exitRequested_ = false;
    HoldFocusForRun();
    const RunOutcome outcome = CreateCommand(*this).Run();
    running_ = false;
    SetBusyPointer(false);  // a cancelled run leaves the busy pointer up
    if (outcome == RunOutcome::kCancelled || exitRequested_) {
        EndProgram();
    } else {
        GiveFocusBack();
    }
}

void VeltrinForm::cmdExit_Click() {
    if (running_) {
        exitRequested_ = true;
        return;
    }
    EndProgram();
}

bool VeltrinForm::Form_QueryUnload() {
    if (running_) {
        exitRequested_ = true;
        return false;
    }
    return true;
}

void VeltrinForm::TakeEndRequestWhenIdle() {
    if (!running_ && TakeEndRequest() != 0) {
        EndProgram();
    }
}

}  // namespace veltrin
