#pragma once
#include <windows.h>

#include "shell/logic/notice_logic.h"
#include "shell/logic/tray_logic.h"

// Icon `resource` from the image drawn for the size the system metrics give.
HICON LoadIconAtSystemSize(int resource, int widthMetric, int heightMetric);

// The notification-area icon of the main dialog. It is made sure of at each dock: brought up to
// date where it is, added where it is not (a first dock, a taskbar made anew). Where the shell
// does not take it yet (at logon), it is tried again on a timer.
void EnsureTrayIcon(HWND dialog);
void RemoveTrayIcon(HWND dialog);
void RetryTrayIcon(HWND dialog);   // ID_TIMER_ICON
void TaskbarMadeAnew(HWND dialog); // the registered "TaskbarCreated"
// The icon of a challenge that waits, with `tip` naming it; null: the plain icon and tip.
void MarkTrayIcon(HWND dialog, const char* tip);

// A notice from the icon: it replaces any notice of ours still up, and takes neither the focus
// nor the thread. The shell may keep it quiet (Focus Assist, notices turned off) and say
// nothing of it: true only means that it accepted it.
bool OfferNotice(HWND dialog, const NoticeText& notice);
// Offered once the icon is there, now or when it arrives.
void OfferNoticeOnceIconIsThere(const NoticeText& notice);
// Takes a notice of ours down, if one may still be up.
void WithdrawNotice(HWND dialog);

// WM_TRAYNOTIFY, in either form the shell sends it: what the user asked at the icon, for the
// dialog that owns it to carry out. The menu has been shown, and `menuChoice` is its item
// (IDM_..., 0 for none).
struct TrayRequest {
    TrayAction action;
    int menuChoice;
    HWND before;      // the window in front before the menu opened
    bool overWaiting; // the menu opened over a box or dialog of ours that waits for an answer
};
TrayRequest OnTrayNotify(HWND dialog, WPARAM wParam, LPARAM lParam);
// After a menu choice that leaves the dialog docked: the keyboard goes back where it was before
// the menu, while it is still ours to give.
void GiveKeyboardBack(HWND dialog, HWND before);
