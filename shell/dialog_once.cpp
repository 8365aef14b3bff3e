#include "resources/resource.h"
#include "shell/app_state.h"
#include "shell/dialogs.h"

namespace {

struct OnceEntry {
    int resource;
    DLGPROC procedure;
    bool running; // from the request until the dialog has ended
};

OnceEntry onceDialogs[] = {
    {IDD_OPTIONS, OptionsDialogProc, false},  {IDD_ABOUT, AboutDialogProc, false},
    {IDD_SNK_SEED, SnkSeedDialogProc, false}, {IDD_LIST, ListDialogProc, false},
    {IDD_RENEW, RenewDialogProc, false},
};

struct WindowSearch {
    DLGPROC procedure;
    HWND found;
};

// A dialog is known by its procedure, so that no dialog has to report itself.
BOOL CALLBACK MatchProcedure(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    if (reinterpret_cast<DLGPROC>(GetWindowLongPtrA(window, DWLP_DLGPROC)) != search->procedure)
        return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

bool RunOnce(OnceDialog which, HWND owner, LPARAM parameter) {
    OnceEntry& entry = onceDialogs[static_cast<int>(which)];
    if (ExitRequested()) return true;
    if (entry.running) {
        // A request that comes while it is being made finds no window yet; that one comes up
        // anyway.
        WindowSearch search = {entry.procedure, nullptr};
        EnumThreadWindows(GetCurrentThreadId(), MatchProcedure, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) SetForegroundWindow(search.found);
        return true;
    }
    entry.running = true;
    WaitingForAnswerBegins();
    const INT_PTR result = DialogBoxParamA(g_instance, MAKEINTRESOURCEA(entry.resource), owner,
                                           entry.procedure, parameter);
    const DWORD error = GetLastError();
    WaitingForAnswerEnds();
    SetLastError(error);
    entry.running = false;
    return result != -1;
}
