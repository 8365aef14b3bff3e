#pragma once
// Helpers for the settings, Options, clipboard and SNK tests, on top of harness.h.
#include <windows.h>

#include <string>

#include "shell/logic/settings.h"
#include "tests/e2e/harness.h"

// Returns once the program's thread has finished the message it was handling: a sent no-op
// waits for it. Messages that handler posted are then queued ahead of anything posted later.
bool Handled(const Program& program);

// The first-run defaults, as the program must write them.
Settings DefaultSettings();

// Registry key as text: every value, sorted by name, as "Name=type:hexbytes", blank-separated;
// "<no key>" when the key is missing. Compared as a whole, so an extra value shows up too.
std::string DescribeKey();
// The same text for the eight values holding `settings` (REG_BINARY, one byte each), plus an
// SNK-S record given in hex when `snkRecordHex` is not null.
std::string DescribeStored(const Settings& settings, const char* snkRecordHex = nullptr);
// Deletes the eight values and keeps the key, so that any later write of them is seen.
bool ForgetStoredSettings();
// Raw bytes from hex digits.
std::string FromHex(const char* hex);

// The Options dialog ("OTP Options").
constexpr const char* kOptionsCaption = "OTP Options";
// With the main dialog's Options button (1021), showing the dialog first when docked.
HWND OpenOptionsWithButton(const Program& program);
// With the tray menu's "O&ptions".
HWND OpenOptionsFromTray(const Program& program);
// What the dialog shows: check marks, the two times and whether their edits are enabled.
std::string DescribeOptions(HWND options);
// What it must show for `settings`.
std::string DescribeOptionsFor(const Settings& settings);
bool SetDialogField(HWND dialog, int id, const char* text);
// Clicks `button` of `dialog` and waits for the box with `caption`; null when none came.
HWND PressForBox(HWND dialog, int button, DWORD processId, const char* caption);

// A clipboard viewer of our own, on its own thread, that counts the WM_DRAWCLIPBOARD notices
// reaching it. Joined before the program starts, it is the program's next viewer.
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
