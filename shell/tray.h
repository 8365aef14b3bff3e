#pragma once
#include <windows.h>

#include "shell/logic/notice_logic.h"

// Icon `resource` from the image drawn for the size the system metrics give.
HICON LoadIconAtSystemSize(int resource, int widthMetric, int heightMetric);

// The notification-area icon of the main dialog and its popup menu.
bool AddTrayIcon(HWND dialog);
void RemoveTrayIcon(HWND dialog);
void ShowTrayMenu(HWND dialog);

// A notice from the icon, which must be there: it replaces any notice of ours still
// up, and takes neither the focus nor the thread. False when the shell did not take it.
bool ShowNotice(HWND dialog, const NoticeText& notice);
// Takes a notice of ours down, if one may still be up.
void HideNotice(HWND dialog);

// Close and the docking timeout: icon in, dialog out.
void DockMainDialog(HWND dialog);
void OnDockTimer(HWND dialog);
void OnTrayNotify(HWND dialog, LPARAM lParam);
void RestartDockTimer(HWND dialog);
