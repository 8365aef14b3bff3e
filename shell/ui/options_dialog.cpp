#include "shell/ui/options_dialog.h"

#include "resources/resource.h"
#include "shell/logic/options_close.h"
#include "shell/logic/run_value.h"
#include "shell/logic/settings_logic.h"
#include "shell/services/app_state.h"
#include "shell/services/modal.h"
#include "shell/services/store.h"
#include "shell/ui/about_dialog.h"
#include "shell/ui/dialog_controls.h"
#include "shell/ui/message_box.h"
#include "shell/ui/snk_dialog.h"

namespace {
// Left alone this long, the dialog goes without saving.
constexpr UINT kOptionsTimeoutMs = 20000;

// A path beyond MAX_PATH is no command the shell runs at logon, and leaves the box disabled.
static_assert(kRunValueSize >= MAX_PATH + 3, "the Run value holds a quoted path");

struct OptionsState {
    OptionsCloseState close;
    bool startWithWindowsShown; // the box as it opened: OK changes only what the user changed
};

OptionsState* StateOf(HWND dialog) {
    return reinterpret_cast<OptionsState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// The user's input in the dialog: a key or a click on it or its controls, seen as the dialog's
// loop takes it, before it is handled. One Options dialog at a time.
HHOOK inputWatch = nullptr;
HWND watchedDialog = nullptr;

void RestartTimeout(HWND dialog) {
    SetTimer(dialog, ID_TIMER_OPTIONS, kOptionsTimeoutMs, nullptr);
}

bool IsInput(UINT message) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_MOUSEWHEEL:
    case WM_NCLBUTTONDOWN: return true;
    default: return false;
    }
}

LRESULT CALLBACK WatchInput(int code, WPARAM removal, LPARAM lParam) {
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && IsInput(message->message) &&
        (message->hwnd == watchedDialog || IsChild(watchedDialog, message->hwnd)))
        RestartTimeout(watchedDialog);
    return CallNextHookEx(nullptr, code, removal, lParam);
}

void WatchInputOf(HWND dialog) {
    watchedDialog = dialog;
    inputWatch = SetWindowsHookExA(WH_MSGFILTER, WatchInput, nullptr, GetCurrentThreadId());
}

void StopWatchingInput() {
    if (inputWatch != nullptr) UnhookWindowsHookEx(inputWatch);
    inputWatch = nullptr;
    watchedDialog = nullptr;
}

void ApplyClose(HWND dialog, OptionsClose close) {
    switch (close) {
    case OptionsClose::Saved: EndDialog(dialog, 1); break;
    case OptionsClose::TimedOut: EndDialog(dialog, 0); break;
    case OptionsClose::None: break;
    }
}

// A time's edit and label follow the check box of the flag that enables the time.
void EnableTime(HWND dialog, const SettingEntry& time, bool enable) {
    EnableWindow(GetDlgItem(dialog, time.control), enable);
    EnableWindow(GetDlgItem(dialog, time.label), enable);
}

bool ProgramPath(wchar_t path[kRunValueSize]) {
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return length > 0 && length < MAX_PATH;
}

// As the file system compares them: its long form, letters of either case alike.
bool SamePath(const wchar_t* a, const wchar_t* b) {
    wchar_t longA[kRunValueSize];
    wchar_t longB[kRunValueSize];
    const DWORD lengthA = GetLongPathNameW(a, longA, kRunValueSize);
    const DWORD lengthB = GetLongPathNameW(b, longB, kRunValueSize);
    if (lengthA == 0 || lengthA >= kRunValueSize) lstrcpynW(longA, a, kRunValueSize);
    if (lengthB == 0 || lengthB >= kRunValueSize) lstrcpynW(longB, b, kRunValueSize);
    return CompareStringOrdinal(longA, -1, longB, -1, TRUE) == CSTR_EQUAL;
}

// On when the Run value starts this very program; one that starts another copy shows off.
bool ShowStartWithWindows(HWND dialog) {
    wchar_t path[kRunValueSize];
    wchar_t value[kRunValueSize];
    const bool known = ProgramPath(path);
    EnableWindow(GetDlgItem(dialog, IDC_OPT_STARTUP), known);
    const bool on =
        known && ReadRunValue(value, kRunValueSize) && RunValueStartsProgram(value, path, SamePath);
    CheckDlgButton(dialog, IDC_OPT_STARTUP, on ? BST_CHECKED : BST_UNCHECKED);
    return on;
}

void InitOptions(HWND dialog, LPARAM state) {
    SetWindowLongPtrA(dialog, DWLP_USER, state);
    RestartTimeout(dialog);
    WatchInputOf(dialog);
    for (const SettingEntry& entry : kSettingTable) {
        const std::uint8_t value = g_settings.*entry.field;
        if (!IsTimeRow(entry)) {
            CheckDlgButton(dialog, entry.control, value != 0 ? BST_CHECKED : BST_UNCHECKED);
            continue;
        }
        char text[kTimeTextSize];
        ShowTimeField(value, text);
        SetDlgItemTextA(dialog, entry.control, text);
        EnableTime(dialog, entry, g_settings.*entry.enabledBy != 0);
    }
    StateOf(dialog)->startWithWindowsShown = ShowStartWithWindows(dialog);
    ShowWindow(dialog, SW_SHOWNORMAL);
    SetForegroundWindow(dialog);
}

// NOTE: the docking and decrement boxes take effect at once, read from the box itself so that
// the setting and the box never disagree; Cancel keeps them for this run.
void ApplyEnablingBox(HWND dialog, int box) {
    for (const SettingEntry& time : kSettingTable) {
        if (!IsTimeRow(time) || SettingRowOf(time.enabledBy).control != box) continue;
        g_settings.*time.enabledBy = Checked(dialog, box) ? 1 : 0;
        EnableTime(dialog, time, Checked(dialog, box));
    }
}

void OpenNestedDialog(HWND options, bool (*run)(HWND owner)) {
    if (!run(options)) ShowSystemError(options, Message::DialogCreate);
}

OptionsForm ReadForm(HWND dialog) {
    OptionsForm form = {};
    for (std::size_t row = 0; row < kSettingCount; ++row) {
        const SettingEntry& entry = kSettingTable[row];
        if (IsTimeRow(entry)) {
            GetDlgItemTextA(dialog, entry.control, form.text[row], sizeof form.text[row]);
        } else {
            form.checked[row] = Checked(dialog, entry.control);
        }
    }
    return form;
}

bool ApplyRunValueChange(RunValueChange change) {
    wchar_t path[kRunValueSize];
    wchar_t value[kRunValueSize];
    switch (change) {
    case RunValueChange::Write:
        return ProgramPath(path) && QuotedRunValue(path, value, kRunValueSize) &&
               WriteRunValue(value);
    case RunValueChange::Delete: return DeleteRunValue();
    case RunValueChange::Leave: return true;
    }
    return true;
}

// Returns false when a time was refused and the dialog stays. Nothing of a refused OK takes
// effect, and nothing is written once the program is ending.
bool RunOptionsOk(HWND dialog) {
    const OptionsOkOutcome outcome = DecideOptionsOk(g_settings, ReadForm(dialog), g_snkKeysSaved);
    const RunValueChange runValueChange =
        RunValueChangeFor(StateOf(dialog)->startWithWindowsShown, Checked(dialog, IDC_OPT_STARTUP));
    if (outcome.refusal != Message::None) {
        ShowMessage(dialog, outcome.refusal);
        return false;
    }
    g_settings = outcome.settings;
    ShowMessage(dialog, outcome.warning);
    if (outcome.enrolSnk &&
        (!outcome.askReconfigure || ShowMessage(dialog, Message::ReconfigureSnk)))
        OpenNestedDialog(dialog, RunSnkSeedDialog);
    if (ExitRequested()) return true;
    const bool settingsSaved = WriteSettings(g_settings);
    const bool runValueSaved = ApplyRunValueChange(runValueChange);
    ShowMessage(dialog, OptionsSavedMessage(settingsSaved, runValueChange != RunValueChange::Leave,
                                            runValueSaved));
    return true;
}

INT_PTR OnOptionsOk(HWND dialog) {
    OptionsCloseState& state = StateOf(dialog)->close;
    OptionsOkStarted(state);
    const bool accepted = RunOptionsOk(dialog);
    const OptionsClose close = OptionsOkFinished(state, accepted);
    // The refusal's box was answered.
    if (close == OptionsClose::None) RestartTimeout(dialog);
    ApplyClose(dialog, close);
    return accepted ? TRUE : FALSE;
}

INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: InitOptions(dialog, lParam); return FALSE;
    case WM_TIMER:
        if (wParam == ID_TIMER_OPTIONS)
            ApplyClose(dialog, OptionsTimerFired(StateOf(dialog)->close));
        return FALSE;
    case WM_DESTROY: StopWatchingInput(); return FALSE;
    case WM_COMMAND:
        // A control's notice is input too where no key or click came first: a screen reader's
        // action on a box, say.
        RestartTimeout(dialog);
        switch (LOWORD(wParam)) {
        case IDC_OPT_ABOUT:
            OpenNestedDialog(dialog, RunAboutDialog);
            RestartTimeout(dialog);
            return FALSE;
        case IDOK: return OnOptionsOk(dialog);
        case IDCANCEL: EndDialog(dialog, 1); return TRUE;
        default: ApplyEnablingBox(dialog, LOWORD(wParam)); return FALSE;
        }
    }
    return FALSE;
}

} // namespace

void RunOptionsDialog(HWND owner) {
    OptionsState state = {};
    RunOnce(IDD_OPTIONS, OptionsDialogProc, owner, reinterpret_cast<LPARAM>(&state));
}
