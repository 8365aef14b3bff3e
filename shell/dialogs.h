#pragma once
#include <windows.h>

#include "shell/logic/show_logic.h"

// The dialog procedures of the four dialog templates, and the Options dialog
// with the state its close needs.
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SnkSeedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void RunOptionsDialog(HWND owner);

inline bool Checked(HWND dialog, int button) {
    return IsDlgButtonChecked(dialog, button) == BST_CHECKED;
}

// Posts WM_SHOWMAIN to the main dialog for `request`. A WM_SHOWMAIN posted from outside
// (a second start) asks for nothing more.
void RequestShow(HWND dialog, ShowRequest request);

// True once the main dialog got as far as its initialisation: tells a dialog
// that could not be created from one that was destroyed by the tray's Exit.
bool MainDialogWasCreated();
