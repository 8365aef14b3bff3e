#pragma once
#include <windows.h>

#include <cstdint>

#include "engine/otp.h"
#include "shell/logic/show_logic.h"

// The dialog procedures of the dialog templates.
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SnkSeedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ListDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RenewDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void RunOptionsDialog(HWND owner);

// The responses ahead of a challenge, from its chain (PlanChain's for a list).
struct ListRequest {
    HashKind kind;
    const char* seed;
    const OtpChain* chain;
};
void RunListDialog(HWND owner, const ListRequest& request);

// A renewal of the challenge `count` of `kind` and `seed`, answered with `passPhrase`, whose
// value there is `current`.
struct RenewRequest {
    HashKind kind;
    const char* seed;
    const char* passPhrase;
    std::uint32_t count;
    const std::uint8_t* current;
    bool accepted; // the copied challenge said that the server takes a renewal
};
// True when the renewal line was made: it stands in g_response.
bool RunRenewDialog(HWND owner, const RenewRequest& request);

// One of each: two Options dialogs would edit the same settings, each unaware of the other.
enum class OnceDialog { Options, About, SnkSeed, List, Renew };
// Runs the dialog modally, owned by `owner`; while it is open, brings that one to the front
// instead. False only when it could not be created (GetLastError tells why).
bool RunOnce(OnceDialog which, HWND owner, LPARAM parameter);

// The window class of every dialog and message box.
constexpr char kDialogClass[] = "#32770";

inline bool Checked(HWND dialog, int button) {
    return IsDlgButtonChecked(dialog, button) == BST_CHECKED;
}

// Posts WM_SHOWMAIN to the main dialog for `request`. A WM_SHOWMAIN posted from outside
// (a second start) asks for nothing more.
void RequestShow(HWND dialog, ShowRequest request);

// The response goes, and Copy with it: the fields no longer hold what it answered.
void EmptyResponse(HWND dialog);
// The decrement lowers the count it followed, never one that a new challenge, Clear All or the
// user put in the field since.
void StopPendingDecrement(HWND dialog);

// True once the main dialog got as far as its initialisation: tells a dialog that could not
// be created from one that ended.
bool MainDialogWasCreated();

// Every box and dialog of ours waits for its answer in a nested message loop, inside which
// the main dialog's messages go on: a show that comes meanwhile brings the waiting window
// forward, and follows once the user has answered.
void WaitingForAnswerBegins();
void WaitingForAnswerEnds();
// The box or dialog of ours that takes input while others wait behind it; null when none does.
HWND WaitingWindow(HWND dialog);

// The one way out, from the Exit button, Escape, the tray menu or the end of the session:
// every box and dialog of ours ends first, each nested loop returns, and the main dialog ends
// last. Code that runs on after a nested loop checks ExitRequested and writes nothing.
void ExitProgram(HWND dialog);
bool ExitRequested();
