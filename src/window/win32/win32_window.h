#pragma once

#include <array>
#include <optional>

#include "window/veltrin_form.h"

// After the project's headers, as windows.h defines macros (Yield among them) that clash with their names.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#undef Yield  // an old macro of windows.h, which would rename the view's own

// The main window drawn with the Windows API: the controls of the layout as the system's own edit boxes, labels
// and buttons, placed for the monitor's resolution, over the behaviour that both windows share. The program's
// message loop hands each message to ProcessMessage, which the run's yields use too.
class Win32Window final : public veltrin::VeltrinForm {
  public:
    explicit Win32Window(HINSTANCE instance);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    [[nodiscard]] HWND Handle() const { return window_; }
    // Handles one message of the thread's queue: Tab, Enter and the access keys as a dialog does, then the rest.
    void ProcessMessage(MSG& message);

    void SetBusyPointer(bool busy) override;

  protected:
    // VeltrinForm: the controls' texts, through the system's window texts
    [[nodiscard]] std::u16string ControlText(veltrin::Control control) const override;
    void SetControlText(veltrin::Control control, std::u16string_view text) override;
    void EnableControl(veltrin::Control control, bool enabled) override;
    // the run's hold on the window: the focus, the yield's message loop, and the end of the program
    void HoldFocusForRun() override;
    void GiveFocusBack() override;
    void ProcessEvents() override;
    void EndProgram() override;
    // the message box, and where the system's text may be cut
    void ShowMessageBox(std::u16string_view message, std::u16string_view title) override;
    [[nodiscard]] bool IsCharacterBoundary(std::u16string_view text, std::size_t position) const override;

  private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(WPARAM wParam, LPARAM lParam);
    // Places the controls and sizes their font for a monitor of so many dots to the inch.
    void LayOut(UINT dotsPerInch);
    // Moves the focus itself; the box that takes it learns how it came.
    void MoveFocus(HWND control, veltrin::FocusMove move);
    [[nodiscard]] HWND ControlWindow(veltrin::Control control) const;

    HWND window_ = nullptr;
    std::array<HWND, veltrin::kControls.size()> controls_{};
    HFONT font_ = nullptr;
    bool busy_ = false;
    HWND focusBeforeRun_ = nullptr;
    HWND focusWhenLeft_ = nullptr;  // where the focus was when the user went to another window
    // How the focus is being moved while a message is handled, if the window knows: the user's key or click that
    // is being handled, or the window's own move.
    std::optional<veltrin::FocusMove> focusMove_;
};
