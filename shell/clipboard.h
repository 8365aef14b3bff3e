#pragma once
#include <windows.h>

#include <cstddef>

// The main dialog as a clipboard viewer, and Copy.
void JoinClipboardChain(HWND dialog);
void LeaveClipboardChain(HWND dialog);
void OnDrawClipboard(HWND dialog, WPARAM wParam, LPARAM lParam);
void OnChangeCbChain(HWND dialog, WPARAM wParam, LPARAM lParam);
void CopyResponseToClipboard(HWND dialog);
// What every Copy does: `length` bytes of `text` on the clipboard, kept out of clipboard history
// and the cloud.
void CopyTextToClipboard(HWND owner, const char* text, std::size_t length);
