#pragma once
#include <windows.h>

#include "shell/logic/show_logic.h"

// The dialog procedures of the four dialog templates, and the Options dialog
// with the state its close needs.
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SnkSeedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void RunOptionsDialog(HWND owner);

// One of each: two Options dialogs would edit the same settings, each unaware of the other.
enum class OnceDialog { Options, About, SnkSeed };
// Runs the dialog modally and returns its result (-1: it could not be created); while it is
// open, brings that one to the front instead and returns 0.
INT_PTR RunOnce(OnceDialog which, HWND owner, LPARAM parameter);
// Said by each of their procedures at WM_INITDIALOG.
void OnceDialogOpened(OnceDialog which, HWND dialog);

inline bool Checked(HWND dialog, int button) {
    return IsDlgButtonChecked(dialog, button) == BST_CHECKED;
}

// Posts WM_SHOWMAIN to the main dialog for `request`. A WM_SHOWMAIN posted from outside
// (a second start) asks for nothing more.
void RequestShow(HWND dialog, ShowRequest request);

// True once the main dialog got as far as its initialisation: tells a dialog
// that could not be created from one that was destroyed by the tray's Exit.
bool MainDialogWasCreated();
