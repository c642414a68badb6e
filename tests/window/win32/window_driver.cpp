// Drives veltrin.exe, the Windows window, as its user would, from a process of its own: reads the controls' texts
// and the focus, types, clicks and presses keys, reads and closes the message boxes, through the system's messages
// and input, for each row of tests/data/window_rows.txt. Runs under Wine on an X display (xvfb-run).
//
//   window_driver VELTRIN.EXE [WORDS OF A ROW'S NAME]
//
// Prints one line a row and closes with "N passed, N failed"; exits with 1 if a row failed.
#include <chrono>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>

#include "../window_rows.h"
#include "window/utf16_text.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace {

namespace fs = std::filesystem;
using veltrin::Control;
using veltrin::testing_support::DrivenWindow;
using veltrin::testing_support::ShownMessage;

constexpr int kFirstControlId = 100;    // the window's controls have the ids of their layout's order from here
constexpr int kMessageTextId = 0xFFFF;  // the text of a system message box
constexpr int kWaits = 500;             // of 20 ms: a program that starts under Wine may take seconds
constexpr UINT kReplyMilliseconds = 5000;

std::string Utf8(const std::wstring& text) { return veltrin::Utf8FromUtf16(std::u16string(text.begin(), text.end())); }

std::wstring Wide(const std::string& utf8) {
    const std::u16string text = veltrin::Utf16FromUtf8(utf8);
    return {text.begin(), text.end()};
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

// The first window of the thread (or child window of the parent) that the test accepts.
template <typename Test>
HWND FindWindowOf(DWORD thread, HWND parent, Test test) {
    struct Search {
        Test test;
        HWND found;
    } search{test, nullptr};
    const WNDENUMPROC visit = [](HWND window, LPARAM data) -> BOOL {
        auto* state = reinterpret_cast<Search*>(data);
        if (state->test(window)) {
            state->found = window;
            return FALSE;
        }
        return TRUE;
    };
    if (parent != nullptr) {
        ::EnumChildWindows(parent, visit, reinterpret_cast<LPARAM>(&search));
    } else {
        ::EnumThreadWindows(thread, visit, reinterpret_cast<LPARAM>(&search));
    }
    return search.found;
}

class Win32DrivenWindow final : public DrivenWindow {
  public:
    Win32DrivenWindow(const std::wstring& program, const fs::path& folder, std::wstring desktop) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.lpDesktop = desktop.data();
        std::wstring commandLine = L"\"" + program + L"\"";
        if (::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             folder.wstring().c_str(), &startup, &process_) == FALSE) {
            return;
        }
        for (int wait = 0; wait < kWaits && window_ == nullptr; ++wait) {
            window_ = FindWindowOf(process_.dwThreadId, nullptr, [](HWND window) {
                return ClassOf(window) == L"frmVeltrin" && ::IsWindowVisible(window) != FALSE;
            });
            Pause();
        }
    }
    ~Win32DrivenWindow() override {
        if (process_.hProcess == nullptr) {
            return;
        }
        if (!IsClosed()) {
            ::PostMessageW(window_, WM_CLOSE, 0, 0);
            if (::WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0) {
                ::TerminateProcess(process_.hProcess, 1);
                ::WaitForSingleObject(process_.hProcess, 5000);
            }
        }
        ::CloseHandle(process_.hThread);
        ::CloseHandle(process_.hProcess);
    }
    Win32DrivenWindow(const Win32DrivenWindow&) = delete;
    Win32DrivenWindow& operator=(const Win32DrivenWindow&) = delete;

    [[nodiscard]] bool Started() const { return window_ != nullptr; }

    std::string Text(Control control) override { return Utf8(TextOf(ControlWindow(control))); }
    std::string FocusName() override {
        GUITHREADINFO thread{};
        thread.cbSize = sizeof(thread);
        if (::GetGUIThreadInfo(process_.dwThreadId, &thread) == FALSE || thread.hwndFocus == nullptr) {
            return "";
        }
        if (thread.hwndFocus == window_) {
            return "window";
        }
        const auto index = static_cast<std::size_t>(::GetDlgCtrlID(thread.hwndFocus) - kFirstControlId);
        return index < veltrin::kControls.size() ? std::string(veltrin::kControls.at(index).name) : "";
    }
    bool IsEnabled(Control control) override { return ::IsWindowEnabled(ControlWindow(control)) != FALSE; }
    void Name(Control box, const std::string& name) override {
        const std::wstring text = Wide(name);
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(ControlWindow(box), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                              SMTO_ABORTIFHUNG, kReplyMilliseconds, &result);
    }
    // Characters at the end of the name, as WM_CHAR messages in the window's queue.
    void Type(Control box, const std::string& text) override {
        const HWND window = ControlWindow(box);
        const std::wstring typed = Wide(text);
        const std::wstring expected = TextOf(window) + typed;
        const auto end = static_cast<WPARAM>(expected.size() - typed.size());
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(window, EM_SETSEL, end, static_cast<LPARAM>(end), SMTO_ABORTIFHUNG, kReplyMilliseconds,
                              &result);
        for (const wchar_t character : typed) {
            ::PostMessageW(window, WM_CHAR, character, 1);
        }
        for (int wait = 0; wait < kWaits && TextOf(window) != expected; ++wait) {
            Pause();
        }
    }
    // A press and release of the left button in the middle of the control.
    void Click(Control control) override {
        const HWND window = ControlWindow(control);
        RECT area{};
        ::GetClientRect(window, &area);
        const LPARAM middle = MAKELPARAM(area.right / 2, area.bottom / 2);
        ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, middle);
        ::PostMessageW(window, WM_LBUTTONUP, 0, middle);
        if (veltrin::LayoutOf(control).kind == veltrin::ControlKind::kBox) {
            for (int wait = 0; wait < kWaits && FocusName() != veltrin::LayoutOf(control).name; ++wait) {
                Pause();
            }
        }
    }
    // Keys as the keyboard gives them, to the window in front.
    void Key(const std::string& key) override {
        const std::size_t plus = key.find('+');
        const std::string modifier = plus == std::string::npos ? "" : key.substr(0, plus);
        const std::string name = key.substr(plus == std::string::npos ? 0 : plus + 1);
        const WORD code = name == "Tab"     ? VK_TAB
                          : name == "Enter" ? VK_RETURN
                          : name == "Space" ? VK_SPACE
                                            : static_cast<WORD>(name.at(0));
        std::vector<WORD> keys;
        if (!modifier.empty()) {
            keys.push_back(modifier == "Shift" ? VK_SHIFT : VK_MENU);
        }
        keys.push_back(code);
        std::vector<INPUT> inputs;
        for (const WORD down : keys) {
            inputs.push_back(KeyInput(down, 0));
        }
        for (auto up = keys.rbegin(); up != keys.rend(); ++up) {
            inputs.push_back(KeyInput(*up, KEYEVENTF_KEYUP));
        }
        ::SetForegroundWindow(window_);
        ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    }
    // Both in the window's queue before the run starts: the second is handled at the run's first yield.
    void CreateThenStop(bool byClosing) override {
        ::PostMessageW(ControlWindow(Control::cmdCreate), BM_CLICK, 0, 0);
        if (byClosing) {
            ::PostMessageW(window_, WM_CLOSE, 0, 0);
        } else {
            ::PostMessageW(ControlWindow(Control::cmdExit), BM_CLICK, 0, 0);
        }
    }
    void AnswerMessages(std::vector<bool> closeWindowFirst) override {
        closeWindowFirst_ = std::move(closeWindowFirst);
    }
    std::optional<ShownMessage> NextMessage() override {
        HWND box = nullptr;
        for (int wait = 0; wait < kWaits && box == nullptr && !IsClosed(); ++wait) {
            box = FindWindowOf(process_.dwThreadId, nullptr, [](HWND window) {
                return ClassOf(window) == L"#32770" && ::IsWindowVisible(window) != FALSE;
            });
            Pause();
        }
        if (box == nullptr) {
            return std::nullopt;
        }
        ShownMessage shown{ShapeOf(box) + Utf8(TextOf(box)) + ": " + Utf8(TextOf(::GetDlgItem(box, kMessageTextId))),
                           HeldByRun(*this)};
        if (closeWindowFirst_.size() > answered_ && closeWindowFirst_[answered_]) {
            ::PostMessageW(window_, WM_CLOSE, 0, 0);
        }
        ++answered_;
        ::PostMessageW(FindWindowOf(0, box, [](HWND child) { return ClassOf(child) == L"Button"; }), BM_CLICK, 0, 0);
        for (int wait = 0; wait < kWaits && ::IsWindow(box) != FALSE; ++wait) {
            Pause();
        }
        return shown;
    }
    bool IsClosed() override {
        DWORD exitCode = STILL_ACTIVE;
        return ::GetExitCodeProcess(process_.hProcess, &exitCode) != FALSE && exitCode == 0;
    }
    void Pause() override { std::this_thread::sleep_for(std::chrono::milliseconds(20)); }

  private:
    [[nodiscard]] HWND ControlWindow(Control control) const {
        return ::GetDlgItem(window_, kFirstControlId + static_cast<int>(control));
    }

    static std::wstring TextOf(HWND window) {
        std::wstring text(4096, L'\0');
        DWORD_PTR length = 0;
        ::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                              kReplyMilliseconds, &length);
        text.resize(length);
        return text;
    }

    // A message box with the exclamation icon and one OK button is shown as "", anything else so that it differs.
    static std::string ShapeOf(HWND box) {
        int buttons = 0;
        bool icon = false;
        for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
            if (::IsWindowVisible(child) == FALSE) {
                continue;
            }
            const auto style = static_cast<DWORD>(::GetWindowLongPtrW(child, GWL_STYLE));
            if (ClassOf(child) == L"Button") {
                buttons += TextOf(child) == L"OK" ? 1 : 2;
            } else if (ClassOf(child) == L"Static" && (style & SS_TYPEMASK) == SS_ICON) {
                icon = ::SendMessageW(child, STM_GETICON, 0, 0) != 0;
            }
        }
        return buttons == 1 && icon ? "" : "(not a warning with one OK button) ";
    }

    static INPUT KeyInput(WORD key, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = flags;
        return input;
    }

    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
    std::vector<bool> closeWindowFirst_;
    std::size_t answered_ = 0;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::cerr << "usage: window_driver VELTRIN.EXE [WORDS OF A ROW'S NAME]\n";
        return 2;
    }
    const std::wstring program = fs::absolute(argv[1]).wstring();
    const std::string only = argc > 2 ? Utf8(argv[2]) : "";
    // A desktop of the test's own, which Wine shows as a virtual desktop of the size that its registry gives: Wine
    // manages the windows there itself, where it would wait for an X window manager that Xvfb does not have.
    const std::wstring desktopName = L"veltrin-test-" + std::to_wstring(::GetCurrentProcessId());
    const std::wstring desktops = L"Software\\Wine\\Explorer\\Desktops";
    const std::wstring size = L"800x600";
    ::RegSetKeyValueW(HKEY_CURRENT_USER, desktops.c_str(), desktopName.c_str(), REG_SZ, size.c_str(),
                      static_cast<DWORD>((size.size() + 1) * sizeof(wchar_t)));
    HDESK desktop = ::CreateDesktopW(desktopName.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (desktop == nullptr || ::SetThreadDesktop(desktop) == FALSE) {
        std::cerr << "window_driver: cannot make a desktop of its own\n";
        return 1;
    }
    const fs::path work = fs::temp_directory_path() / ("veltrin-window-" + std::to_string(::GetCurrentProcessId()));
    int passed = 0;
    int failed = 0;
    int number = 0;
    for (const auto& row : veltrin::testing_support::ReadWindowRows()) {
        if (row.name.find(only) == std::string::npos) {
            continue;
        }
        const fs::path folder = work / std::to_string(++number);
        veltrin::testing_support::PrepareRowFolder(folder);
        std::vector<std::string> failures;
        {
            Win32DrivenWindow window(program, folder, desktopName);
            failures = window.Started() ? veltrin::testing_support::RunWindowRow(row, folder, window)
                                        : std::vector<std::string>{"veltrin.exe shows no window"};
        }
        (failures.empty() ? passed : failed) += 1;
        std::cout << (failures.empty() ? "ok:   " : "FAIL: ") << row.name << '\n';
        for (const std::string& failure : failures) {
            std::cout << "  " << failure << '\n';
        }
    }
    std::error_code ignored;
    fs::remove_all(work, ignored);
    ::CloseDesktop(desktop);
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, desktops.c_str(), desktopName.c_str());
    std::cout << passed << " passed, " << failed << " failed" << std::endl;
    return failed == 0 && passed > 0 ? 0 : 1;
}
