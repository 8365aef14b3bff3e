#pragma once
#include <windows.h>

// The main dialog as a clipboard viewer, and Copy.
void JoinClipboardChain(HWND dialog);
void LeaveClipboardChain(HWND dialog);
void OnDrawClipboard(HWND dialog, WPARAM wParam, LPARAM lParam);
void OnChangeCbChain(HWND dialog, WPARAM wParam, LPARAM lParam);
void CopyResponseToClipboard(HWND dialog);
