#pragma once
// The seams between the main dialog and the other parts of the shell.
#include <windows.h>

// Settings store
void LoadSettings();
void WriteSettings(HKEY key);

// Dialog procedures
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SnkSeedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Challenge recognition: applies a recognised challenge to the main dialog.
// `text` is a writable copy owned by the caller.
int RecogniseChallenge(HWND dialog, char* text);

// The Options dialog, modal; closes itself after 20 seconds.
void RunOptionsDialog(HWND owner);

// Clipboard viewer and Copy
void JoinClipboardChain(HWND dialog);
void LeaveClipboardChain(HWND dialog);
void OnDrawClipboard(HWND dialog, WPARAM wParam, LPARAM lParam);
void OnChangeCbChain(HWND dialog, WPARAM wParam, LPARAM lParam);
void CopyResponseToClipboard(HWND dialog);

// SNK response: 0 on success, -1 after showing its own message.
int ComputeSnkResponse(const char* challenge, const char* password, char* response);
