#include <windows.h>

#include "resources/resource.h"
#include "shell/interfaces.h"

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        // Nothing restarts it: the box goes ten seconds after it opened.
        SetTimer(dialog, ID_TIMER_ABOUT, 10000, nullptr);
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL: EndDialog(dialog, 1); return TRUE;
        default: return FALSE;
        }
    case WM_TIMER:
        if (LOWORD(wParam) == ID_TIMER_ABOUT) EndDialog(dialog, 0);
        return FALSE;
    default: return FALSE;
    }
}
