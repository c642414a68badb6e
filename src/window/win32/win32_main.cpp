// veltrin.exe: the window drawn with the Windows API.
#include "window/win32/win32_window.h"

// After windows.h, which the window's header includes.
#include <commctrl.h>
#include <objbase.h>

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, PWSTR /*lpCmdLine*/, int nShowCmd) {
    // The shell's completion of file names in the boxes is a COM object of the window's thread.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    int exitCode = 1;
    {
        Win32Window window(hInstance);
        if (window.Handle() != nullptr) {
            ::ShowWindow(window.Handle(), nShowCmd);
            MSG message{};
            while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
                window.ProcessMessage(message);
            }
            exitCode = static_cast<int>(message.wParam);
        }
    }
    if (SUCCEEDED(com)) {
        ::CoUninitialize();
    }
    return exitCode;
}
