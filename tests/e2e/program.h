#pragma once
// The process and its windows: starting and stopping the real Vantreth.exe, finding its
// windows, and acting on them only as a user's actions reach them: window messages, button
// clicks, field texts and the tray notices. Every wait polls with a bound.
#include <windows.h>

#include <string>
#include <vector>

#include "engine/hash_kind.h"
#include "resources/resource.h"
#include "shell/logic/settings.h"
#include "tests/e2e/registry.h"

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
// Starts a process of the program and fills in its handle and id, not its dialog.
bool LaunchProgram(Program* program);
bool WaitForMainDialog(Program* program);
// Kills leftovers, starts the program, waits for its dialog and for it to dock.
bool StartProgram(Program* program);
// The same with these settings (and the SNK-S record, in hex, when given) as the whole key, and
// no sequences remembered.
bool StartProgramWith(const Settings& settings, Program* program,
                      const char* snkRecordHex = nullptr);
// The same, then shows the dialog from the tray.
bool StartShown(Program* program, const Settings& settings = QuietSettings());
bool WaitForExit(HANDLE process, DWORD timeoutMs, DWORD* exitCode);
// Starts the program once more, while it runs, and waits for that start to end; false when it
// kept running (it is then ended).
bool RunSecondStart(DWORD* exitCode);
bool StillRunning(const Program& program);
// The CPU time the instance has used so far, all its threads together, in seconds; -1 when
// it cannot be read. Wine reports none for another process, so this reads Linux's
// /proc/PID/stat through drive Z:.
double CpuSeconds(const Program& program);
// Ends the instance (Exit, else terminate) and releases its handle.
void StopProgram(Program* program);

// The ways out: the Exit button, the Escape key, the tray menu's Exit, and the end of the
// Windows session (WM_QUERYENDSESSION, then WM_ENDSESSION), after which the system may end the
// process at any moment.
struct ExitWay {
    const char* name;
    void (*act)(const Program&);
};
extern const ExitWay kExitButton;
extern const ExitWay kEscapeKey;
extern const ExitWay kTrayExit;
extern const ExitWay kEndOfSession;

// Stops the instance when the test ends, also when an assertion leaves it early.
struct ScopedProgram {
    Program program{};
    ~ScopedProgram() { StopProgram(&program); }
};
// The top-level window titled "Vantreth" that belongs to `processId`, or null.
HWND FindMainDialog(DWORD processId);

// A top-level window of another program, on a thread of its own: one that happens to carry
// the title (Explorer titles a folder's window with the folder's name), or a terminal the user
// copies a challenge from. It counts the messages 1035 (WM_SHOWMAIN) that reach it. Destroyed
// when the object goes.
// With `dialogClass`, it is a dialog-class window ("#32770"), as a running copy's dialog is.
struct ForeignWindowState;
struct ScopedForeignWindow {
    explicit ScopedForeignWindow(const char* title, bool dialogClass = false);
    ~ScopedForeignWindow();
    ScopedForeignWindow(const ScopedForeignWindow&) = delete;
    ScopedForeignWindow& operator=(const ScopedForeignWindow&) = delete;
    HWND window = nullptr;
    LONG ShowRequests() const;

  private:
    ForeignWindowState* state_;
    HANDLE thread_ = nullptr;
};

// Main dialog state
// Docked: the dialog exists, hidden, and its tray icon is there.
bool IsDocked(const Program& program);
// Still docked after kSettleMs (catches a dialog that shows itself again).
bool StaysDocked(const Program& program);
bool IsShown(const Program& program);
bool TrayIconPresent(HWND dialog);
// What a restarted Explorer does: its new taskbar has forgotten every icon, and it says so to
// every top-level window with the registered message "TaskbarCreated".
bool MakeTaskbarAnew(HWND dialog);
// What the shell sends the icon's owner: `message` in the first form, or in the form of
// version 4 with the anchor (the icon, or where the keyboard is) at (x, y).
void NotifyIcon(const Program& program, UINT message);
void NotifyIconVersion4(const Program& program, UINT message, int x, int y);
// Double-click on the tray icon and wait for the dialog to show.
bool ShowFromTray(const Program& program);
HWND FocusedWindow(const Program& program);
// Returns once the program's thread has finished the message it was handling: a sent no-op
// waits for it. Messages that handler posted are then queued ahead of anything posted later.
bool Handled(const Program& program);

// Controls, of the main dialog or of any dialog
HWND Control(const Program& program, int id);
std::string Text(HWND window);
bool SetText(HWND window, const char* text);
bool SetField(HWND dialog, int id, const char* text);
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
    // What the dialog offered while the box was up.
    std::string responseUnderBox;
    bool copyUnderBox = false;
};
Outcome PressOk(const Program& program);
// A long count's progress in the response field, "37 %"; -1 for any other text.
int ProgressPercent(const std::string& response);
// Ok on a count that runs on the worker (seed "test", pass phrase "This is a test."); true once
// its progress shows.
bool StartLongCount(const Program& program, int radio = IDC_MD5, const char* count = "999999999");
// Waits for words in the response field, where there were none or the progress; "<no words>"
// when they did not come within `timeoutMs`.
std::string WaitForWords(const Program& program, DWORD timeoutMs);
bool EnterChallenge(const Program& program, int radioId, const char* count, const char* seed,
                    const char* passPhrase);
// After a refused or failed Ok: no response left in the field, and Copy disabled.
bool NoResponseLeft(const Program& program);
// Shows the dialog (WM_SHOWMAIN enables the SNK radio) and selects SNK mode. Showing posts the
// command that re-applies the previous mode; the click is posted behind it, once the program
// has finished showing, so that it is not undone.
bool EnterSnkMode(const Program& program);
// The radio button of a hash: the tests' own mapping, apart from the program's.
int RadioFor(HashKind kind);
// SNK mode's answer: the SNK radio checked, the challenge and the password in their fields, Ok.
Outcome AnswerSnk(const Program& program, const char* challenge, const char* password);

// Every top-level window, in the order the system lists them (the topmost first).
std::vector<HWND> TopLevelWindows();
bool HasClass(HWND window, const char* className);
bool BelongsTo(HWND window, DWORD processId);

// Message boxes and dialogs: visible top-level "#32770" windows of the program.
std::string Caption(HWND window);
HWND FindDialog(DWORD processId, const char* caption);
// How many visible top-level dialogs of the process carry `caption`.
int CountDialogs(DWORD processId, const char* caption);
HWND WaitForDialog(DWORD processId, const char* caption, DWORD timeoutMs = kWaitMs);
// Any visible top-level dialog of the process other than the main dialog, or null.
HWND FindAnyBox(const Program& program);
std::string BoxText(HWND box);
bool HasChildWithText(HWND parent, const char* text);
// Clicks the box's button `buttonId` (IDOK, IDYES, IDNO...) and waits until it is gone.
bool CloseBox(HWND box, int buttonId);
bool WaitForGone(HWND window, DWORD timeoutMs = kWaitMs);
// Clicks `button` of `dialog` and waits for the box with `caption`; null when none came.
HWND PressForBox(HWND dialog, int button, DWORD processId, const char* caption);
// The same, then reads the box's text and closes it with OK; "<no box>" when none came.
std::string PressForBoxText(HWND dialog, int button, DWORD processId, const char* caption);

// The tray icon's popup menu ("#32768").
constexpr int kMaxMenuItems = 16;
struct MenuItem {
    UINT id;
    char text[64];
};
// Opens it with the right button's press, in the first form of the icon's notices, or, given an
// anchor, as the menu key does in version 4, and returns it once it has stayed open a moment:
// Wine may cancel a menu that opens the moment a window of ours has come or gone (a late
// focus-out). Such a menu is asked for again.
HWND OpenTrayMenu(const Program& program, const POINT* anchor = nullptr);
// Opens it and chooses the item whose mnemonic is `key`, again should the choice not have taken
// effect: true once `done` holds.
template <typename Condition>
bool ChooseFromTrayMenuUntil(const Program& program, char key, Condition done);
HWND WaitForTrayMenu(const Program& program);
// Reads the items of an open menu; -1 when the menu cannot be read from outside.
int ReadMenu(HWND menuWindow, MenuItem* items, int capacity);
// Chooses the item at `position` (0 first) with the arrow keys and Enter.
void ChooseMenuItem(HWND menuWindow, int position);
// Chooses the item whose mnemonic is `key`.
void ChooseMenuItemByKey(HWND menuWindow, char key);
void DismissMenu(HWND menuWindow);

template <typename Condition>
bool ChooseFromTrayMenuUntil(const Program& program, char key, Condition done) {
    HWND menu = nullptr;
    for (int attempt = 0; attempt < 3; ++attempt) {
        // A menu the key did not reach is still open: it is chosen from, not opened again.
        if (menu == nullptr || !IsWindowVisible(menu)) menu = OpenTrayMenu(program);
        if (menu == nullptr) continue;
        ChooseMenuItemByKey(menu, key);
        if (WaitUntil(done, 3000)) return true;
    }
    return done();
}

// The Options dialog ("OTP Options").
constexpr const char* kOptionsCaption = "OTP Options";
// With the main dialog's Options button (1021), showing the dialog first when docked.
HWND OpenOptionsWithButton(const Program& program);
// With the tray menu's "O&ptions".
HWND OpenOptionsFromTray(const Program& program);
// The SNK Seed & Password dialog, opened by the Options OK.
constexpr const char* kSnkEnrolCaption = "SNK Seed & Password";
// The seed, and the password in both of its fields.
bool FillEnrolment(HWND enrol, const char* seed, const char* password);
// Presses Options' OK and answers what it brings up until the dialog has gone: the reconfigure
// question with `reconfigure` (IDYES or IDNO), the enrolment with Cancel or, with
// `keepEnrolment`, not at all (it is returned), any other box with OK. Each box met adds a line
// "[caption] text" to `met`, when given.
HWND ConfirmOptions(const Program& program, HWND options, int reconfigure, bool keepEnrolment,
                    std::string* met = nullptr);
// Options opened with the button, SNK features ticked, OK, and Yes to reconfiguring: the
// enrolment, or null.
HWND OpenEnrolment(const Program& program);
// The dialog shown with SNK features on, switched on through Options where the start left them
// off (the enrolment cancelled, reconfiguring refused); the boxes met go into `met`.
bool EnsureSnkFeatures(const Program& program, std::string* met);
// What the dialog shows: check marks, the two times and whether their edits are enabled.
std::string DescribeOptions(HWND options);
// What it must show for `settings`.
std::string DescribeOptionsFor(const Settings& settings);
