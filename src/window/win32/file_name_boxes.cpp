#include "window/win32/file_name_boxes.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <string>

namespace {

// Takes the first file dropped on the box as its name, as though the user had typed it.
LRESULT CALLBACK DropOntoBox(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                             DWORD_PTR /*data*/) {
    if (message == WM_DROPFILES) {
        auto* const drop = reinterpret_cast<HDROP>(wParam);
        const UINT length = ::DragQueryFileW(drop, 0, nullptr, 0);
        if (length > 0 && ::IsWindowEnabled(box) != FALSE) {
            std::wstring name(length + 1, L'\0');
            ::DragQueryFileW(drop, 0, name.data(), length + 1);
            name.resize(length);
            ::SetWindowTextW(box, name.c_str());
        }
        ::DragFinish(drop);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(box, DropOntoBox, 0);
    }
    return ::DefSubclassProc(box, message, wParam, lParam);
}

}  // namespace

void AssistFileNameBox(HWND box) {
    ::SHAutoComplete(box, SHACF_FILESYSTEM);
    ::SetWindowSubclass(box, DropOntoBox, 0, 0);
    ::DragAcceptFiles(box, TRUE);
}
