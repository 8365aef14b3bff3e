#include "shell/services/modal.h"

#include <cstring>

#include "shell/services/app_state.h"

namespace {

int waitingForAnswer = 0;
HWND answeredWindow = nullptr;
UINT answeredMessage = 0;
bool exitRequested = false;

// The dialogs run by RunOnce, from the request until each has ended.
constexpr int kMostOnceDialogs = 8;
DLGPROC running[kMostOnceDialogs] = {};

bool IsDialogBox(HWND window) {
    char name[sizeof kDialogClass + 1] = {};
    GetClassNameA(window, name, sizeof name);
    return std::strcmp(name, kDialogClass) == 0;
}

struct WaitingSearch {
    HWND except;
    HWND found;
};

// The box or dialog of ours that takes input: the others wait behind it, disabled by it.
BOOL CALLBACK MatchWaitingWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<WaitingSearch*>(lParam);
    if (window == search->except || !IsDialogBox(window) || !IsWindowVisible(window) ||
        !IsWindowEnabled(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK EndWaitingWindow(HWND window, LPARAM lParam) {
    if (window != reinterpret_cast<HWND>(lParam) && IsDialogBox(window)) EndDialog(window, 0);
    return TRUE;
}

struct ProcedureSearch {
    DLGPROC procedure;
    HWND found;
};

// A dialog is known by its procedure, so that no dialog has to report itself.
BOOL CALLBACK MatchProcedure(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<ProcedureSearch*>(lParam);
    // Asked in the other character set, a dialog gives a stand-in for its procedure.
    const LONG_PTR procedure = IsWindowUnicode(window) ? GetWindowLongPtrW(window, DWLP_DLGPROC)
                                                       : GetWindowLongPtrA(window, DWLP_DLGPROC);
    if (reinterpret_cast<DLGPROC>(procedure) != search->procedure) return TRUE;
    search->found = window;
    return FALSE;
}

DLGPROC* RunningSlot(DLGPROC procedure) {
    for (DLGPROC& slot : running)
        if (slot == procedure) return &slot;
    return nullptr;
}

} // namespace

void WaitingForAnswerBegins() {
    ++waitingForAnswer;
}

void WaitingForAnswerEnds() {
    if (--waitingForAnswer > 0 || answeredWindow == nullptr || exitRequested) return;
    PostMessageA(answeredWindow, answeredMessage, 0, 0);
    answeredWindow = nullptr;
}

bool WaitingForAnswer() {
    return waitingForAnswer > 0;
}

void PostWhenAnswered(HWND window, UINT message) {
    answeredWindow = window;
    answeredMessage = message;
}

HWND WaitingWindow(HWND except) {
    WaitingSearch search = {except, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchWaitingWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void ExitProgram(HWND mainDialog) {
    if (exitRequested) return;
    exitRequested = true;
    EndMenu();
    EnumThreadWindows(GetCurrentThreadId(), EndWaitingWindow, reinterpret_cast<LPARAM>(mainDialog));
    EndDialog(mainDialog, 1);
}

bool ExitRequested() {
    return exitRequested;
}

bool RunOnce(int resource, DLGPROC procedure, HWND owner, LPARAM parameter, bool unicode) {
    if (exitRequested) return true;
    if (RunningSlot(procedure) != nullptr) {
        // A request that comes while it is being made finds no window yet; that one comes up
        // anyway.
        ProcedureSearch search = {procedure, nullptr};
        EnumThreadWindows(GetCurrentThreadId(), MatchProcedure, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) SetForegroundWindow(search.found);
        return true;
    }
    DLGPROC* slot = RunningSlot(nullptr);
    if (slot == nullptr) return true;
    *slot = procedure;
    WaitingForAnswerBegins();
    const INT_PTR result =
        unicode
            ? DialogBoxParamW(g_instance, MAKEINTRESOURCEW(resource), owner, procedure, parameter)
            : DialogBoxParamA(g_instance, MAKEINTRESOURCEA(resource), owner, procedure, parameter);
    const DWORD error = GetLastError();
    WaitingForAnswerEnds();
    SetLastError(error);
    *slot = nullptr;
    return result != -1;
}
