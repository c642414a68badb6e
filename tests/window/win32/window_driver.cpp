// Drives veltrin.exe, the Windows window, as its user would, from a process of its own: reads the controls' texts
// and the focus, types, clicks and presses keys, reads and closes the message boxes, through the system's messages
// and input, for each row of tests/data/window_rows.txt. Runs under Wine on an X display (xvfb-run).
//
//   window_driver VELTRIN.EXE
//   window_driver --run VELTRIN.EXE
//
// Prints one line a row and closes with "N passed, N failed"; exits with 1 if a row failed. With --run, the window
// is started in the current folder with Create pressed at once, for the killed runs (tests/cli/killed_runs.sh).
#include <windows.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

#include "../window_rows.h"
#include "window/utf16_text.h"

namespace {

namespace fs = std::filesystem;
using veltrin::Control;

constexpr int kFirstControlId = 100;  // the window's controls have the ids of their layout's order from here

std::string TextOf(HWND window) {
    std::u16string text(4096, u'\0');
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                          5000, &length);
    return veltrin::Utf8FromUtf16(text.substr(0, length));
}

// The thread's visible top-level window of the class.
HWND WindowOfClass(DWORD thread, const wchar_t* name) {
    for (HWND window = ::FindWindowExW(nullptr, nullptr, name, nullptr); window != nullptr;
         window = ::FindWindowExW(nullptr, window, name, nullptr)) {
        if (::GetWindowThreadProcessId(window, nullptr) == thread && ::IsWindowVisible(window) != FALSE) {
            return window;
        }
    }
    return nullptr;
}

// A message box with an icon and one OK button is shown as its title, anything else so that it differs.
std::string TitleOf(HWND box) {
    std::string buttons;
    bool icon = false;
    for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const bool button = ::SendMessageW(child, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
        buttons += button && ::IsWindowVisible(child) != FALSE ? "[" + TextOf(child) + "]" : "";
        icon = icon || ::SendMessageW(child, STM_GETICON, 0, 0) != 0;
    }
    return (buttons == "[OK]" && icon ? "" : "(not a warning with one OK button) ") + TextOf(box);
}

class Win32DrivenWindow final : public veltrin::testing_support::DrivenWindow {
  public:
    // The window's process ends with the driver's, whichever way that ends, as a job closed on it ends it; not the
    // processes that it starts, such as the one that draws the desktop, which later windows need.
    Win32DrivenWindow(const std::wstring& program, const fs::path& folder, std::wstring desktop) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.lpDesktop = desktop.data();
        std::wstring commandLine = L"\"" + program + L"\"";
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags =
            JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_SILENT_BREAKAWAY_OK;
        ::SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
        ::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                         folder.wstring().c_str(), &startup, &process_);
        ::AssignProcessToJobObject(job_, process_.hProcess);
        ::ResumeThread(process_.hThread);
        WaitUntil([this] { return (window_ = WindowOfClass(process_.dwThreadId, L"frmVeltrin")) != nullptr; });
    }
    ~Win32DrivenWindow() override {
        Close(5000);
        ::CloseHandle(process_.hThread);
        ::CloseHandle(process_.hProcess);
        ::CloseHandle(job_);
    }
    Win32DrivenWindow(const Win32DrivenWindow&) = delete;
    Win32DrivenWindow& operator=(const Win32DrivenWindow&) = delete;

    std::string Title() override { return TextOf(window_); }
    std::string Text(Control control) override { return TextOf(ControlWindow(control)); }
    std::string FocusName() override {
        GUITHREADINFO thread{};
        thread.cbSize = sizeof(thread);
        ::GetGUIThreadInfo(process_.dwThreadId, &thread);
        const auto index = static_cast<std::size_t>(::GetDlgCtrlID(thread.hwndFocus) - kFirstControlId);
        return thread.hwndFocus == window_         ? "window"
               : index < veltrin::kControls.size() ? std::string(veltrin::kControls.at(index).name)
                                                   : "";
    }
    bool IsEnabled(Control control) override { return ::IsWindowEnabled(ControlWindow(control)) != FALSE; }
    std::array<int, 4> Place(Control control) override {
        RECT place{};
        ::GetWindowRect(ControlWindow(control), &place);
        ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&place), 2);
        return {place.left, place.top, place.right - place.left, place.bottom - place.top};
    }
    bool HasFixedSize() override {
        return (::GetWindowLongPtrW(window_, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX)) == 0;
    }
    void Name(Control box, const std::string& name) override {
        const std::u16string text = veltrin::Utf16FromUtf8(name);
        ::SendMessageW(ControlWindow(box), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    // The caret put at the end, then each character as the keyboard gives it to the box.
    void Type(Control box, const std::string& text) override {
        const auto end = static_cast<WPARAM>(::SendMessageW(ControlWindow(box), WM_GETTEXTLENGTH, 0, 0));
        ::SendMessageW(ControlWindow(box), EM_SETSEL, end, -1);
        for (const char16_t character : veltrin::Utf16FromUtf8(text)) {
            ::SendMessageW(ControlWindow(box), WM_CHAR, character, 1);
        }
    }
    // The left button pressed and released in the middle of the control.
    void Click(Control control) override {
        const HWND window = ControlWindow(control);
        RECT area{};
        ::GetClientRect(window, &area);
        ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(area.right / 2, area.bottom / 2));
        ::PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(area.right / 2, area.bottom / 2));
    }
    // Keys as the keyboard gives them, to the window in front.
    void Key(const std::string& key) override {
        static const std::map<std::string, std::vector<BYTE>> kKeys{
            {"Tab", {VK_TAB}},     {"Shift+Tab", {VK_SHIFT, VK_TAB}}, {"Enter", {VK_RETURN}},
            {"Space", {VK_SPACE}}, {"Alt+R", {VK_MENU, 'R'}},         {"Alt+X", {VK_MENU, 'X'}}};
        // A key waits for the window to be in front with a focus, which takes it a moment after it opens.
        ::SetForegroundWindow(window_);
        WaitUntil([this] { return ::GetForegroundWindow() == window_ && !FocusName().empty(); });
        for (const BYTE down : kKeys.at(key)) {
            ::keybd_event(down, 0, 0, 0);
        }
        for (auto up = kKeys.at(key).rbegin(); up != kKeys.at(key).rend(); ++up) {
            ::keybd_event(*up, 0, KEYEVENTF_KEYUP, 0);
        }
    }
    // Both in the window's queue before the run starts: the second is handled at the run's first yield.
    void CreateThenStop(bool byClosing) override {
        ::PostMessageW(ControlWindow(Control::cmdCreate), BM_CLICK, 0, 0);
        ::PostMessageW(byClosing ? window_ : ControlWindow(Control::cmdExit), byClosing ? WM_CLOSE : BM_CLICK, 0, 0);
    }
    std::vector<std::string> NextMessage() override {
        const HWND box = WindowOfClass(process_.dwThreadId, L"#32770");
        if (box == nullptr) {
            return {};
        }
        const std::vector<std::string> shown{TitleOf(box) + ": " + TextOf(::GetDlgItem(box, 0xFFFF)),
                                             InputState(*this)};
        if (std::exchange(closeWindowAtNextMessage, false)) {
            ::PostMessageW(window_, WM_CLOSE, 0, 0);
        }
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        WaitUntil([box] { return ::IsWindow(box) == FALSE; });
        return shown;
    }
    bool IsClosed() override {  // and ended as the program ends, not by a crash
        DWORD exitCode = STILL_ACTIVE;
        return ::GetExitCodeProcess(process_.hProcess, &exitCode) != FALSE && exitCode == 0;
    }
    void Pause() override { std::this_thread::sleep_for(std::chrono::milliseconds(20)); }
    [[nodiscard]] HANDLE Process() const { return process_.hProcess; }
    // Closes the window as its user would, and ends its program if it has not ended within so many milliseconds.
    void Close(DWORD wait) {
        ::PostMessageW(window_, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(process_.hProcess, wait) != WAIT_OBJECT_0) {
            ::TerminateProcess(process_.hProcess, 1);
        }
    }

  private:
    [[nodiscard]] HWND ControlWindow(Control control) const {
        return ::GetDlgItem(window_, kFirstControlId + static_cast<int>(control));
    }

    HANDLE job_ = ::CreateJobObjectW(nullptr, nullptr);
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};

// The name of the event that Ctrl-C sets, which the driver's own process id makes its own.
std::wstring EndEventName() { return L"veltrin-window-run-end-" + std::to_wstring(::GetCurrentProcessId()); }

// Presses Create as the window opens and prints the status that the run leaves, or the one it shows when Ctrl-C
// comes, which closes the window as its user would; then waits for the window's end. A driver ended from outside
// takes the window with it, as Task Manager ends a program.
int RunOnce(const std::wstring& program, const std::wstring& desktop) {
    const HANDLE end = ::CreateEventW(nullptr, TRUE, FALSE, EndEventName().c_str());
    ::SetConsoleCtrlHandler(
        [](DWORD /*event*/) -> BOOL {
            const HANDLE endEvent = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, EndEventName().c_str());
            ::SetEvent(endEvent);
            ::CloseHandle(endEvent);
            return TRUE;
        },
        TRUE);
    Win32DrivenWindow window(program, fs::current_path(), desktop);
    window.Click(Control::cmdCreate);
    const std::array<HANDLE, 2> events{end, window.Process()};
    std::string status;
    do {
        status = window.Text(Control::lblStatus);
    } while (status != "Done!" && status != "Error!" &&
             ::WaitForMultipleObjects(events.size(), events.data(), FALSE, 20) == WAIT_TIMEOUT);
    std::cout << status << std::endl;
    window.Close(60000);
    ::CloseHandle(end);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool runOnce = argc > 1 && std::wstring_view(argv[1]) == L"--run";
    if (argc < (runOnce ? 3 : 2)) {
        std::cerr << "usage: window_driver [--run] VELTRIN.EXE\n";
        return 2;
    }
    // A desktop of the test's own, which Wine shows as a virtual desktop of the size that its registry gives: Wine
    // manages the windows there itself, where it would wait for an X window manager that Xvfb does not have. The
    // killed runs share one, as a driver ended from outside leaves its desktop's name behind.
    const std::wstring desktop =
        runOnce ? L"veltrin-window-run" : L"veltrin-test-" + std::to_wstring(::GetCurrentProcessId());
    const wchar_t* const desktops = L"Software\\Wine\\Explorer\\Desktops";
    ::RegSetKeyValueW(HKEY_CURRENT_USER, desktops, desktop.c_str(), REG_SZ, L"800x600", sizeof(L"800x600"));
    if (::SetThreadDesktop(::CreateDesktopW(desktop.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr)) == FALSE) {
        std::cerr << "window_driver: cannot make a desktop of its own\n";
        return 1;
    }
    if (runOnce) {
        return RunOnce(fs::absolute(argv[2]).wstring(), desktop);
    }
    const fs::path work = fs::temp_directory_path() / ("veltrin-window-" + std::to_string(::GetCurrentProcessId()));
    std::map<bool, int> outcomes;  // rows passed (true) and failed
    for (const auto& row : veltrin::testing_support::ReadIndentedRows("window_rows.txt")) {
        const fs::path folder = work / std::to_string(outcomes[true] + outcomes[false]);
        veltrin::testing_support::PrepareRowFolder(folder);
        Win32DrivenWindow window(fs::absolute(argv[1]).wstring(), folder, desktop);
        const std::string failures = RunWindowRow(row, folder, window);
        ++outcomes[failures.empty()];
        std::cout << (failures.empty() ? "ok:   " : "FAIL: ") << row.name << failures << '\n';
    }
    std::error_code ignored;
    fs::remove_all(work, ignored);
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, desktops, desktop.c_str());
    std::cout << outcomes[true] << " passed, " << outcomes[false] << " failed" << std::endl;
    return outcomes[false] == 0 && outcomes[true] > 0 ? 0 : 1;
}
