#pragma once
#include <windows.h>

#include <cstddef>

// The main dialog as a clipboard viewer, and Copy.
void JoinClipboardChain(HWND viewer);
void LeaveClipboardChain(HWND viewer);

// At WM_DRAWCLIPBOARD: a private, NUL-terminated copy of the clipboard's text for the viewer to
// read, null when there is none or it asks clipboard monitors to leave it alone. The viewer
// hands it to FreeClipboardText, then passes the notice on.
struct ClipboardText {
    char* text;
    std::size_t size;
};
ClipboardText ReadClipboardText(HWND viewer);
// Wipes and frees it.
void FreeClipboardText(ClipboardText& copied);
void PassDrawClipboardOn(HWND viewer, WPARAM wParam, LPARAM lParam);
void OnChangeCbChain(HWND viewer, WPARAM wParam, LPARAM lParam);

// What every Copy does: `length` bytes of `text` on the clipboard, kept out of clipboard history
// and the cloud. NoMemory leaves the system's error code for the caller to tell.
enum class ClipboardCopy { Done, NoMemory, NotTaken };
ClipboardCopy CopyTextToClipboard(HWND owner, const char* text, std::size_t length);
// The same for a list of responses, as Unicode text, which also asks clipboard monitors to leave
// it alone and goes kListClipboardMs later, or at ClearCopiedList (the program's end), unless
// something was copied since. The thread's message loop runs the timer.
ClipboardCopy CopyListToClipboard(HWND owner, const wchar_t* text, std::size_t length);
void ClearCopiedList();
