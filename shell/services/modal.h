#pragma once
// What every box and dialog of ours needs while it waits for its answer. Each waits in a nested
// message loop, inside which the main dialog's messages go on; and there is one way out, which
// ends every one of them.
#include <windows.h>

// The window class of every dialog and message box.
constexpr char kDialogClass[] = "#32770";

// Around each nested loop. When the last one ends, the window that asked for it with
// PostWhenAnswered gets its message: a show that came meanwhile follows once the user has
// answered.
void WaitingForAnswerBegins();
void WaitingForAnswerEnds();
bool WaitingForAnswer();
void PostWhenAnswered(HWND window, UINT message);
// The box or dialog of ours that takes input while others wait behind it, `except` apart; null
// when none does.
HWND WaitingWindow(HWND except);

// The one way out, from the Exit button, Escape, the tray menu or the end of the session:
// every box and dialog of ours ends first, each nested loop returns, and `mainDialog` ends last.
// Code that runs on after a nested loop checks ExitRequested and writes nothing.
void ExitProgram(HWND mainDialog);
bool ExitRequested();

// One of each: two Options dialogs would edit the same settings, each unaware of the other.
// Runs dialog `resource` with `procedure` modally, owned by `owner`, as a Unicode window when
// `unicode`; while one with that procedure is open, brings it to the front instead. False only
// when it could not be created (GetLastError tells why).
bool RunOnce(int resource, DLGPROC procedure, HWND owner, LPARAM parameter, bool unicode = false);
