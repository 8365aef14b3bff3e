// Windows refuses the foreground to a program in the background while the user works in
// another; Wine grants it. Installed as a global CBT hook by the end-to-end driver, this
// refuses to activate Vantreth's dialog, so that SetForegroundWindow on it fails under Wine
// as it does on Windows.
#include <windows.h>

#include <cstring>
#include <cwchar>

#include "vantreth_version.h"

namespace {

bool IsVantrethDialog(HWND window) {
    char className[16] = {};
    wchar_t title[32] = {};
    GetClassNameA(window, className, sizeof className);
    // Not GetWindowText: in the dialog's own process that would send it a message mid-activation.
    InternalGetWindowText(window, title, sizeof title / sizeof title[0]);
    return std::strcmp(className, "#32770") == 0 && std::wcscmp(title, L"" VANTRETH_TITLE) == 0;
}

} // namespace

extern "C" __attribute__((dllexport)) LRESULT CALLBACK VetoActivation(int code, WPARAM wParam,
                                                                      LPARAM lParam) {
    if (code == HCBT_ACTIVATE && IsVantrethDialog(reinterpret_cast<HWND>(wParam))) return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
