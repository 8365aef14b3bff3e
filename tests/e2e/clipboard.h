#pragma once
// The clipboard as another program sees it: texts and formats put and read, and a clipboard
// viewer of our own that counts the notices reaching it.
#include <windows.h>

#include <string>

// CF_TEXT
bool PutClipboardText(const char* text);
// The bytes exactly as they stand, with a NUL or without one.
bool PutClipboardBytes(const void* data, size_t size);
// The text together with a registered format `formatName` holding a DWORD 0.
bool PutClipboardTextMarked(const char* text, const char* formatName);
bool ClipboardText(std::string* text);
// The DWORD held under the registered format `formatName`; false when there is none.
bool ClipboardFormatDword(const char* formatName, DWORD* value);

// The viewer, on its own thread, counting the WM_DRAWCLIPBOARD notices that reach it.
// Joined before the program starts, it is the program's next viewer.
bool StartClipboardWatcher();
LONG ClipboardNotices();
HWND ClipboardWatcherWindow();
// Held, the watcher hangs in its next notice (its thread stops pumping messages) until released.
void HoldClipboardWatcher();
void ReleaseClipboardWatcher();
// True while the watcher hangs in a notice.
bool ClipboardWatcherHangs();
void StopClipboardWatcher();
struct ScopedClipboardWatcher {
    bool started = StartClipboardWatcher();
    ~ScopedClipboardWatcher() { StopClipboardWatcher(); }
};
// Puts `text` on the clipboard and waits until a notice of it reaches the watcher; while the
// program runs, that is after the program has scanned it and passed it on.
bool CopyAndWaitForNotice(const std::string& text, bool withNul = true);
