#include "resources/resource.h"
#include "shell/app_state.h"
#include "shell/dialogs.h"
#include "shell/message_box.h"
#include "shell/store.h"
#include "shell/logic/options_close.h"
#include "shell/logic/run_value.h"
#include "shell/logic/settings_logic.h"

namespace {
// Nothing restarts the timer: the dialog goes this long after it opened.
constexpr UINT kOptionsTimeoutMs = 20000;

// The Run value and this program's path; a path beyond MAX_PATH is no command the shell runs
// at logon, and leaves the box disabled.
constexpr std::size_t kRunValueSize = MAX_PATH + 3;

OptionsCloseState* CloseState(HWND dialog) {
    return reinterpret_cast<OptionsCloseState*>(GetWindowLongPtrA(dialog, DWLP_USER));
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

// On when the Run value starts this very program; one that starts another copy shows off.
void ShowStartWithWindows(HWND dialog) {
    wchar_t path[kRunValueSize];
    wchar_t value[kRunValueSize];
    const bool known = ProgramPath(path);
    EnableWindow(GetDlgItem(dialog, IDC_OPT_STARTUP), known);
    const bool on =
        known && ReadRunValue(value, kRunValueSize) && RunValueStartsProgram(value, path);
    CheckDlgButton(dialog, IDC_OPT_STARTUP, on ? BST_CHECKED : BST_UNCHECKED);
}

void InitOptions(HWND dialog, LPARAM closeState) {
    SetWindowLongPtrA(dialog, DWLP_USER, closeState);
    SetTimer(dialog, ID_TIMER_OPTIONS, kOptionsTimeoutMs, nullptr);
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
    ShowStartWithWindows(dialog);
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

void OpenNestedDialog(HWND options, OnceDialog which) {
    if (!RunOnce(which, options, 0)) ShowSystemError(options, Message::DialogCreate);
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

bool ApplyStartWithWindows(bool ticked) {
    wchar_t path[kRunValueSize];
    wchar_t value[kRunValueSize];
    if (!ProgramPath(path)) return true;
    const bool exists = ReadRunValue(value, kRunValueSize);
    switch (RunValueChangeFor(ticked, exists, exists && RunValueStartsProgram(value, path))) {
    case RunValueChange::Write:
        return QuotedRunValue(path, value, kRunValueSize) && WriteRunValue(value);
    case RunValueChange::Delete: return DeleteRunValue();
    case RunValueChange::Leave: return true;
    }
    return true;
}

// Returns false when a time was refused and the dialog stays. Nothing of a refused OK takes
// effect, and nothing is written once the program is ending.
bool RunOptionsOk(HWND dialog) {
    const OptionsOkOutcome outcome = DecideOptionsOk(g_settings, ReadForm(dialog), g_snkKeysSaved);
    const bool startWithWindows = Checked(dialog, IDC_OPT_STARTUP);
    if (outcome.refusal != Message::None) {
        ShowMessage(dialog, outcome.refusal);
        return false;
    }
    g_settings = outcome.settings;
    ShowMessage(dialog, outcome.warning);
    if (outcome.enrolSnk &&
        (!outcome.askReconfigure || ShowMessage(dialog, Message::ReconfigureSnk)))
        OpenNestedDialog(dialog, OnceDialog::SnkSeed);
    if (ExitRequested()) return true;
    if (!WriteSettings(g_settings) || !ApplyStartWithWindows(startWithWindows))
        ShowMessage(dialog, Message::RegistryWrite);
    return true;
}

INT_PTR OnOptionsOk(HWND dialog) {
    OptionsCloseState* state = CloseState(dialog);
    OptionsOkStarted(*state);
    const bool accepted = RunOptionsOk(dialog);
    ApplyClose(dialog, OptionsOkFinished(*state, accepted));
    return accepted ? TRUE : FALSE;
}
} // namespace

INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: InitOptions(dialog, lParam); return FALSE;
    case WM_TIMER:
        if (wParam == ID_TIMER_OPTIONS) ApplyClose(dialog, OptionsTimerFired(*CloseState(dialog)));
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_OPT_ABOUT: OpenNestedDialog(dialog, OnceDialog::About); return FALSE;
        case IDOK: return OnOptionsOk(dialog);
        case IDCANCEL: EndDialog(dialog, 1); return TRUE;
        default: ApplyEnablingBox(dialog, LOWORD(wParam)); return FALSE;
        }
    }
    return FALSE;
}

void RunOptionsDialog(HWND owner) {
    OptionsCloseState closeState = {};
    RunOnce(OnceDialog::Options, owner, reinterpret_cast<LPARAM>(&closeState));
}
