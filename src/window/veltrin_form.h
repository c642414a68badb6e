#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "commands/create_view.h"
#include "window/window_layout.h"

namespace veltrin {

// How the focus came into a control.
enum class FocusMove {
    kClick,
    kTab,
    kBackTab,
    kAccessKey,
    kWindowActivated,   // the user came back to the window from another one
    kMessageBoxClosed,  // a message box of the run closed
    kByTheWindow,       // the window moved it itself, as when a run gives it back
};

// Whether the user moved the focus: a click, Tab, Shift+Tab or an access key. The focus also comes back to a box
// when a message box of the run closes, when the user returns to the window from another one, and when the run
// gives it back: none of those is the user entering the box, and "Done!" or "Error!" stays.
constexpr bool IsUsersFocusMove(FocusMove move) {
    return move == FocusMove::kClick || move == FocusMove::kTab || move == FocusMove::kBackTab ||
           move == FocusMove::kAccessKey;
}

// The main window as both windows behave, the Qt one and the Windows one: what its controls show, what its
// events do, and how a run of the create command holds it. A run holds the window's thread from the click to its
// end and yields to the window's events between blocks; during a run only Exit (or closing the window) does
// anything, and it ends the program once the run has unwound. Each window derives from this and supplies its
// toolkit's side, the protected pure functions, and reports its events to the handlers, named control_event.
class VeltrinForm : public CreateView {
  public:
    // CreateView
    [[nodiscard]] std::string SourceName() const override;
    [[nodiscard]] std::string SourceInputName() const override;
    [[nodiscard]] std::string ListingName(const Plus2Model& model) const override;
    [[nodiscard]] std::string ListingInputName(const Plus2Model& model) const override;
    void SetStatus(std::string_view status) override;
    void SetInputsEnabled(bool enabled) override;
    // Lets the window handle its pending events; unwinds the run when the user asked to end the program.
    void Yield() override;
    // Shows the message with its long names shortened.
    void ShowMessage(std::string_view message, std::string_view title) override;

  protected:
    // The toolkit's side. Texts are in UTF-16, as both toolkits hold them.
    [[nodiscard]] virtual std::u16string ControlText(Control control) const = 0;
    virtual void SetControlText(Control control, std::u16string_view text) = 0;
    virtual void EnableControl(Control control, bool enabled) = 0;
    virtual void ProcessEvents() = 0;
    // A modal message box with the exclamation icon and a single OK button, its text shown as plain text.
    virtual void ShowMessageBox(std::u16string_view message, std::u16string_view title) = 0;
    [[nodiscard]] virtual bool IsCharacterBoundary(std::u16string_view text, std::size_t position) const = 0;
    // During a run the keyboard focus rests on the window itself, so that a second press of the key that started
    // the run cannot press Exit; afterwards it goes back where it was (kByTheWindow).
    virtual void HoldFocusForRun() = 0;
    virtual void GiveFocusBack() = 0;
    // Removes the window and ends the program.
    virtual void EndProgram() = 0;

    // The window's events.
    void Form_Load();
    void Box_Change(Control box);
    void Box_GotFocus(Control box, FocusMove move);
    void cmdCreate_Click();
    void cmdExit_Click();
    // The user closes the window through its frame: whether it may close now. During a run it closes once the run
    // has unwound, as Exit does.
    [[nodiscard]] bool Form_QueryUnload();
    // Ctrl-C, the request to end or the hang-up came while the window is idle: it closes as Exit would. A run takes
    // them at its next yield instead.
    void TakeEndRequestWhenIdle();

  private:
    void ShowVersionText();

    bool running_ = false;        // a run of the create command is in progress
    bool exitRequested_ = false;  // Exit or a close came during the run; the next yield unwinds it
};

}  // namespace veltrin
