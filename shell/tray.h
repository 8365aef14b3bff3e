#pragma once
#include <windows.h>

// Icon `resource` from the image drawn for the size the system metrics give.
HICON LoadIconAtSystemSize(int resource, int widthMetric, int heightMetric);

// The notification-area icon of the main dialog and its popup menu.
bool AddTrayIcon(HWND dialog);
void RemoveTrayIcon(HWND dialog);
void ShowTrayMenu(HWND dialog);

// Close and the docking timeout: icon in, dialog out.
void DockMainDialog(HWND dialog);
void OnDockTimer(HWND dialog);
void OnTrayNotify(HWND dialog, LPARAM lParam);
void RestartDockTimer(HWND dialog);
