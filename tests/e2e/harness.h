#pragma once
// Drives the real Vantreth.exe from outside, only through what a user's actions reach:
// window messages, button clicks, field texts, the tray notices, the clipboard and the
// registry. Every wait polls with a bound.
#include <windows.h>

#include <string>

#include "shell/logic/settings.h"

constexpr DWORD kWaitMs = 10000;
constexpr DWORD kPollMs = 20;
// How long a state must hold, or an unwanted window stay away, to count as settled.
constexpr DWORD kSettleMs = 500;

// A running instance: the process we started and its main dialog.
struct Program {
    HANDLE process;
    DWORD processId;
    HWND dialog;
};

// The program to start: a Windows path, or a Unix path that Wine reaches through Z:.
void SetProgramPath(const char* path);
const char* ProgramPath();

// Polls `condition` every kPollMs until it holds or `timeoutMs` has passed.
template <typename Condition> bool WaitUntil(Condition condition, DWORD timeoutMs = kWaitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return condition();
        Sleep(kPollMs);
    }
}

// Processes
void KillRunningInstances();
bool LaunchProgram(PROCESS_INFORMATION* info);
// Kills leftovers, starts the program, waits for its dialog and for it to dock.
bool StartProgram(Program* program);
// Starts the program with these settings written first (the key is recreated).
bool StartProgramWith(const Settings& settings, Program* program);
bool WaitForExit(HANDLE process, DWORD timeoutMs, DWORD* exitCode);
// Ends the instance (Exit, else terminate) and releases its handle.
void StopProgram(Program* program);

// Stops the instance when the test ends, also when an assertion leaves it early.
struct ScopedProgram {
    Program program{};
    ~ScopedProgram() { StopProgram(&program); }
};
// The top-level window titled "Vantreth" that belongs to `processId`, or null.
HWND FindMainDialog(DWORD processId);

// A top-level window of another program that happens to carry a given title (Explorer titles
// a folder's window with the folder's name), on a thread of its own; it counts the messages
// 1035 (WM_SHOWMAIN) that reach it. Destroyed when the object goes.
struct ScopedForeignWindow {
    explicit ScopedForeignWindow(const char* title);
    ~ScopedForeignWindow();
    HWND window = nullptr;
    LONG ShowRequests() const;
};

// Main dialog state
// Docked: the dialog exists, hidden, and its tray icon is there.
bool IsDocked(const Program& program);
// Still docked after kSettleMs (catches a dialog that shows itself again).
bool StaysDocked(const Program& program);
bool IsShown(const Program& program);
bool TrayIconPresent(HWND dialog);
void TrayNotify(const Program& program, UINT mouseMessage);
// Double-click on the tray icon and wait for the dialog to show.
bool ShowFromTray(const Program& program);
HWND FocusedWindow(const Program& program);

// Controls
HWND Control(const Program& program, int id);
std::string Text(HWND window);
bool SetText(HWND window, const char* text);
bool SetField(const Program& program, int id, const char* text);
std::string Field(const Program& program, int id);
// Clicks and waits until the program has handled it; for clicks that open no modal box.
bool Click(HWND button);
bool Click(const Program& program, int id);
// Clicks without waiting; for clicks that may open a modal box.
void PostClick(HWND button);
void PostClick(const Program& program, int id);
// A left click into a control (an edit takes the focus).
void ClickInto(HWND control);
void PressKey(HWND window, UINT virtualKey);
void TypeChar(HWND window, char character);
bool IsChecked(HWND button);
bool IsEnabled(HWND window);

// Ok (1026) and what came of it: the response field once it changed to a non-empty text,
// or the message box that appeared instead (closed with OK after reading it).
struct Outcome {
    std::string response;
    std::string boxCaption;
    std::string boxText;
};
Outcome PressOk(const Program& program);
bool EnterChallenge(const Program& program, int radioId, const char* count, const char* seed,
                    const char* passPhrase);

// Message boxes and dialogs: visible top-level "#32770" windows of the program.
HWND FindDialog(DWORD processId, const char* caption);
HWND WaitForDialog(DWORD processId, const char* caption, DWORD timeoutMs = kWaitMs);
// Any visible top-level dialog of the process other than the main dialog, or null.
HWND FindAnyBox(const Program& program);
std::string BoxText(HWND box);
bool HasChildWithText(HWND parent, const char* text);
// Clicks the box's button `buttonId` (IDOK, IDYES, IDNO...) and waits until it is gone.
bool CloseBox(HWND box, int buttonId);
bool WaitForGone(HWND window, DWORD timeoutMs = kWaitMs);

// The tray icon's popup menu ("#32768").
constexpr int kMaxMenuItems = 16;
struct MenuItem {
    UINT id;
    char text[64];
};
HWND OpenTrayMenu(const Program& program);
// Reads the items of an open menu; -1 when the menu cannot be read from outside.
int ReadMenu(HWND menuWindow, MenuItem* items, int capacity);
// Chooses the item at `position` (0 first) with the arrow keys and Enter.
void ChooseMenuItem(HWND menuWindow, int position);
// Chooses the item whose mnemonic is `key`.
void ChooseMenuItemByKey(HWND menuWindow, char key);
void DismissMenu(HWND menuWindow);

// Registry: HKLM\SOFTWARE\Quenby OTP
extern const char* const kSettingsKey;
bool DeleteSettingsKey();
bool WriteSettings(const Settings& settings);
bool WriteRawValue(const char* name, DWORD type, const void* data, DWORD size);
bool DeleteValue(const char* name);
// Reads a value; false when it is missing.
bool ReadRawValue(const char* name, std::string* bytes, DWORD* type);
// Everything off that could act by itself during a test; times at their defaults.
Settings QuietSettings();

// Clipboard (CF_TEXT)
bool PutClipboardText(const char* text);
bool PutClipboardBytes(const void* data, size_t size);
// The text together with a registered format `formatName` holding a DWORD 0.
bool PutClipboardTextMarked(const char* text, const char* formatName);
bool ClipboardText(std::string* text);
// The DWORD held under the registered format `formatName`; false when there is none.
bool ClipboardFormatDword(const char* formatName, DWORD* value);
