#include "shell/app/single_instance.h"

#include <windows.h>

#include "resources/resource.h"
#include "shell/services/modal.h"
#include "vantreth_version.h"

namespace {

constexpr char kDialogTitle[] = VANTRETH_TITLE;
// A copy that has only just started may not have created its dialog yet.
constexpr DWORD kDialogWaitMs = 5000;
constexpr DWORD kDialogPollMs = 50;

} // namespace

bool HandOverToRunningCopy() {
    // Only a running copy holds it, so another window that merely carries our title (a folder
    // named Vantreth in Explorer, say) is never taken for one. Never closed: the system
    // releases it when the process ends.
    const HANDLE running = CreateMutexA(nullptr, FALSE, kRunningMutex);
    const DWORD error = GetLastError();
    // A copy run as administrator holds a mutex that a normal start may not open: it runs
    // all the same.
    const bool anotherCopyRuns = (running != nullptr && error == ERROR_ALREADY_EXISTS) ||
                                 (running == nullptr && error == ERROR_ACCESS_DENIED);
    if (!anotherCopyRuns) return false;

    const DWORD start = GetTickCount();
    for (;;) {
        const HWND dialog = FindWindowA(kDialogClass, kDialogTitle);
        if (dialog != nullptr) {
            // Started by the user, this start may take the foreground, and hands that on.
            DWORD runningCopy = 0;
            GetWindowThreadProcessId(dialog, &runningCopy);
            AllowSetForegroundWindow(runningCopy);
            // Even should the post fail, one copy runs already; this one must not be a second.
            PostMessageA(dialog, WM_SHOWMAIN, 0, 0);
            return true;
        }
        if (GetTickCount() - start >= kDialogWaitMs) return true;
        Sleep(kDialogPollMs);
    }
}
