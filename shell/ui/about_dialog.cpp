#include "shell/ui/about_dialog.h"

#include "resources/resource.h"
#include "shell/services/modal.h"

namespace {
// Nothing restarts the timer: the box goes this long after it opened.
constexpr UINT kAboutTimeoutMs = 10000;

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: SetTimer(dialog, ID_TIMER_ABOUT, kAboutTimeoutMs, nullptr); return FALSE;
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

} // namespace

bool RunAboutDialog(HWND owner) {
    return RunOnce(IDD_ABOUT, AboutDialogProc, owner, 0);
}
