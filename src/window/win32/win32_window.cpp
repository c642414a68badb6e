#include "window/win32/win32_window.h"

#include <string>

#include "window/utf16_text.h"
#include "window/win32/file_name_boxes.h"

namespace {

using veltrin::Control;
using veltrin::ControlKind;
using veltrin::ControlLayout;
using veltrin::FocusMove;

constexpr wchar_t kWindowClass[] = L"frmVeltrin";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;  // a size of its own
constexpr int kFirstControlId = 100;  // clear of IDOK and IDCANCEL, which Enter and Esc send
constexpr int kDialogFontPoints = 8;  // the layout is drawn for the classic 8-point dialog font
constexpr UINT kScreenDotsPerInch = 96;

std::wstring Wide(std::u16string_view text) { return {text.begin(), text.end()}; }

std::wstring Wide(std::string_view utf8) { return Wide(veltrin::Utf16FromUtf8(utf8)); }

int ControlId(Control control) { return kFirstControlId + static_cast<int>(control); }

HWND MakeControl(HWND parent, const ControlLayout& layout) {
    const wchar_t* kind = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD extendedStyle = 0;
    switch (layout.kind) {
        case ControlKind::kLabel:
            style |= SS_LEFT | SS_NOPREFIX;
            break;
        case ControlKind::kBox:
            kind = L"EDIT";
            style |= WS_TABSTOP | ES_AUTOHSCROLL;
            extendedStyle = WS_EX_CLIENTEDGE;
            break;
        case ControlKind::kButton:
            kind = L"BUTTON";
            style |= WS_TABSTOP | BS_PUSHBUTTON;
            break;
    }
    auto* const instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    return ::CreateWindowExW(extendedStyle, kind, Wide(veltrin::InitialText(layout)).c_str(), style, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(layout.control))), instance,
                             nullptr);
}

void RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpszClassName = kWindowClass;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    // The executable's icon, at the sizes of the title bar and of Alt+Tab.
    windowClass.hIcon =
        static_cast<HICON>(::LoadImageW(instance, L"IDI_ICON1", IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
                                        ::GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
    windowClass.hIconSm =
        static_cast<HICON>(::LoadImageW(instance, L"IDI_ICON1", IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                        ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.lpfnWndProc = ::DefWindowProcW;
    ::RegisterClassExW(&windowClass);
}

// How a message that the user's keyboard or mouse sent may move the focus.
std::optional<FocusMove> FocusMoveOf(const MSG& message) {
    switch (message.message) {
        case WM_KEYDOWN:
            if (message.wParam == VK_TAB) {
                return ::GetKeyState(VK_SHIFT) < 0 ? FocusMove::kBackTab : FocusMove::kTab;
            }
            return std::nullopt;
        case WM_SYSKEYDOWN:
        case WM_SYSCHAR:
            return FocusMove::kAccessKey;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            return FocusMove::kClick;
        default:
            return std::nullopt;
    }
}

}  // namespace

Win32Window::Win32Window(HINSTANCE instance) {
    RegisterWindowClass(instance);
    window_ = ::CreateWindowExW(0, kWindowClass, Wide(veltrin::kWindowTitle).c_str(), kWindowStyle, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (window_ == nullptr) {
        return;
    }
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProcedure));
    // Windows takes the order in which the controls are made as the order of Tab.
    for (const ControlLayout* layout : veltrin::ControlsInTabOrder()) {
        HWND control = MakeControl(window_, *layout);
        controls_.at(static_cast<std::size_t>(layout->control)) = control;
        if (layout->kind == ControlKind::kBox) {
            AssistFileNameBox(control);
        }
    }
    LayOut(::GetDpiForWindow(window_));
    focusWhenLeft_ = ControlWindow(Control::cmdCreate);
    Form_Load();
}

Win32Window::~Win32Window() {
    if (font_ != nullptr) {
        ::DeleteObject(font_);
    }
}

HWND Win32Window::ControlWindow(Control control) const { return controls_.at(static_cast<std::size_t>(control)); }

void Win32Window::LayOut(UINT dotsPerInch) {
    const int dpi = static_cast<int>(dotsPerInch == 0 ? kScreenDotsPerInch : dotsPerInch);
    HFONT font = ::CreateFontW(-::MulDiv(kDialogFontPoints, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                               DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, L"MS Shell Dlg");
    for (const ControlLayout& layout : veltrin::kControls) {
        const veltrin::TwipsRect& place = layout.place;
        HWND control = ControlWindow(layout.control);
        ::MoveWindow(control, veltrin::PixelsFromTwips(place.left, dpi), veltrin::PixelsFromTwips(place.top, dpi),
                     veltrin::PixelsFromTwips(place.width, dpi), veltrin::PixelsFromTwips(place.height, dpi), TRUE);
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    if (font_ != nullptr) {
        ::DeleteObject(font_);
    }
    font_ = font;
    RECT frame{0, 0, veltrin::PixelsFromTwips(veltrin::kClientWidthTwips, dpi),
               veltrin::PixelsFromTwips(veltrin::kClientHeightTwips, dpi)};
    ::AdjustWindowRectExForDpi(&frame, kWindowStyle, FALSE, 0, static_cast<UINT>(dpi));
    ::SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK Win32Window::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* const self = reinterpret_cast<Win32Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT Win32Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(wParam, lParam);
            return 0;
        case WM_CLOSE:
            if (Form_QueryUnload()) {
                EndProgram();
            }
            return 0;
        case WM_DESTROY:
            ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
            window_ = nullptr;
            ::PostQuitMessage(0);
            return 0;
        case WM_ACTIVATE:
            // The focus goes back where the user left it, which is not the user entering that box.
            if (LOWORD(wParam) == WA_INACTIVE) {
                focusWhenLeft_ = ::GetFocus();
            } else if (HIWORD(wParam) == 0 && focusWhenLeft_ != nullptr && ::IsWindow(focusWhenLeft_) != FALSE) {
                MoveFocus(focusWhenLeft_, FocusMove::kWindowActivated);
            }
            return 0;
        case WM_SETCURSOR:
            if (busy_ && LOWORD(lParam) == HTCLIENT) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            break;
        case WM_DPICHANGED: {
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            ::SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                           suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            LayOut(HIWORD(wParam));
            return 0;
        }
        default:
            break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

void Win32Window::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const UINT notification = HIWORD(wParam);
    if (id == IDOK && lParam == 0) {
        // Enter presses the button that has the focus, as Space does; in a box it does nothing.
        HWND focus = ::GetFocus();
        if (focus == ControlWindow(Control::cmdCreate) || focus == ControlWindow(Control::cmdExit)) {
            ::SendMessageW(focus, BM_CLICK, 0, 0);
        }
        return;
    }
    if (id < kFirstControlId || id >= kFirstControlId + static_cast<int>(controls_.size())) {
        return;
    }
    const auto control = static_cast<Control>(id - kFirstControlId);
    if (notification == EN_CHANGE) {
        Box_Change(control);
    } else if (notification == EN_SETFOCUS) {
        Box_GotFocus(control, focusMove_.value_or(FocusMove::kByTheWindow));
    } else if (notification == BN_CLICKED && control == Control::cmdCreate) {
        cmdCreate_Click();
    } else if (notification == BN_CLICKED && control == Control::cmdExit) {
        cmdExit_Click();
    }
}

void Win32Window::ProcessMessage(MSG& message) {
    const std::optional<FocusMove> outer = focusMove_;  // a run's yield handles messages within a click's
    focusMove_ = FocusMoveOf(message);
    if (window_ == nullptr || ::IsDialogMessageW(window_, &message) == FALSE) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    focusMove_ = outer;
}

void Win32Window::MoveFocus(HWND control, FocusMove move) {
    const std::optional<FocusMove> outer = focusMove_;
    focusMove_ = move;
    ::SetFocus(control);
    focusMove_ = outer;
}

std::u16string Win32Window::ControlText(Control control) const {
    HWND window = ControlWindow(control);
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return {text.begin(), text.end()};
}

void Win32Window::SetControlText(Control control, std::u16string_view text) {
    ::SetWindowTextW(ControlWindow(control), Wide(text).c_str());
}

void Win32Window::EnableControl(Control control, bool enabled) {
    ::EnableWindow(ControlWindow(control), enabled ? TRUE : FALSE);
}

// The window's own pointer: a message box of the run shows the ordinary arrow.
void Win32Window::SetBusyPointer(bool busy) {
    busy_ = busy;
    POINT pointer{};
    if (window_ != nullptr && ::GetCursorPos(&pointer) != FALSE &&
        ::GetAncestor(::WindowFromPoint(pointer), GA_ROOT) == window_) {
        ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
    }
}

void Win32Window::ProcessEvents() {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
        if (message.message == WM_QUIT) {
            // Belongs to the program's loop, which ends on it once the run is over.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        ProcessMessage(message);
    }
}

void Win32Window::ShowMessageBox(std::u16string_view message, std::u16string_view title) {
    ::MessageBoxW(window_, Wide(message).c_str(), Wide(title).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

// Never inside a surrogate pair, nor before a mark that the system draws over the character before it.
bool Win32Window::IsCharacterBoundary(std::u16string_view text, std::size_t position) const {
    if (position == 0 || position >= text.size()) {
        return true;
    }
    const auto isLowSurrogate = [](char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; };
    if (isLowSurrogate(text[position])) {
        return false;
    }
    WORD type = 0;
    const auto character = static_cast<wchar_t>(text[position]);
    return ::GetStringTypeW(CT_CTYPE3, &character, 1, &type) == FALSE || (type & C3_NONSPACING) == 0;
}

void Win32Window::HoldFocusForRun() {
    focusBeforeRun_ = ::GetFocus();
    MoveFocus(window_, FocusMove::kByTheWindow);
}

void Win32Window::GiveFocusBack() {
    if (focusBeforeRun_ != nullptr && ::IsWindow(focusBeforeRun_) != FALSE) {
        MoveFocus(focusBeforeRun_, FocusMove::kByTheWindow);
    }
}

void Win32Window::EndProgram() {
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
    }
}
