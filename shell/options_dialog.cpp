#include "resources/resource.h"
#include "shell/app_state.h"
#include "shell/dialogs.h"
#include "shell/message_box.h"
#include "shell/store.h"
#include "shell/logic/options_close.h"
#include "shell/logic/settings_logic.h"

namespace {
// Nothing restarts the timer: the dialog goes this long after it opened.
constexpr UINT kOptionsTimeoutMs = 20000;

OptionsCloseState& CloseState(HWND dialog) {
    return *reinterpret_cast<OptionsCloseState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void ApplyClose(HWND dialog, OptionsClose close) {
    switch (close) {
    case OptionsClose::Saved: EndDialog(dialog, 1); break;
    case OptionsClose::TimedOut: EndDialog(dialog, 0); break;
    case OptionsClose::None: break;
    }
}

void EnableTimeField(HWND dialog, int edit, int label, bool enable) {
    EnableWindow(GetDlgItem(dialog, edit), enable);
    EnableWindow(GetDlgItem(dialog, label), enable);
}

void ShowTime(HWND dialog, int edit, std::uint8_t seconds) {
    char text[kTimeTextSize];
    ShowTimeField(seconds, text);
    SetDlgItemTextA(dialog, edit, text);
}

void InitOptions(HWND dialog, LPARAM closeState) {
    OnceDialogOpened(OnceDialog::Options, dialog);
    SetWindowLongPtrA(dialog, DWLP_USER, closeState);
    SetTimer(dialog, ID_TIMER_OPTIONS, kOptionsTimeoutMs, nullptr);
    if (g_settings.SNK) CheckDlgButton(dialog, IDC_OPT_SNK, BST_CHECKED);
    if (g_settings.Clipboard) CheckDlgButton(dialog, IDC_OPT_CLIPBOARD, BST_CHECKED);
    if (g_settings.Return) CheckDlgButton(dialog, IDC_OPT_RETURN, BST_CHECKED);
    if (g_settings.ClearPass) CheckDlgButton(dialog, IDC_OPT_CLEARPASS, BST_CHECKED);
    if (g_settings.AutoDock) {
        CheckDlgButton(dialog, IDC_OPT_AUTODOCK, BST_CHECKED);
    } else {
        EnableTimeField(dialog, IDC_OPT_DOCKTIME, IDC_OPT_DOCKTIME_LABEL, false);
    }
    ShowTime(dialog, IDC_OPT_DOCKTIME, g_settings.DockTime);
    if (g_settings.AutoDecr) {
        CheckDlgButton(dialog, IDC_OPT_AUTODECR, BST_CHECKED);
    } else {
        EnableTimeField(dialog, IDC_OPT_DECRTIME, IDC_OPT_DECRTIME_LABEL, false);
    }
    ShowTime(dialog, IDC_OPT_DECRTIME, g_settings.DecrTime);
    ShowWindow(dialog, SW_SHOWNORMAL);
    SetForegroundWindow(dialog);
}

// Read from the box itself, so the setting and the box never disagree.
void ApplyOptionBox(HWND dialog, int box, std::uint8_t& flag, int edit, int label) {
    flag = Checked(dialog, box) ? 1 : 0;
    EnableTimeField(dialog, edit, label, flag != 0);
}

void OpenNestedDialog(OnceDialog which) {
    if (RunOnce(which, nullptr, 0) == -1) ShowSystemError(Message::DialogCreate);
}

// Returns false when a time was refused and the dialog stays.
bool RunOptionsOk(HWND dialog) {
    char dockText[kTimeFieldChars + 1] = {};
    char decrText[kTimeFieldChars + 1] = {};
    GetDlgItemTextA(dialog, IDC_OPT_DOCKTIME, dockText, sizeof dockText);
    GetDlgItemTextA(dialog, IDC_OPT_DECRTIME, decrText, sizeof decrText);
    OptionsForm form = {};
    form.clipboard = Checked(dialog, IDC_OPT_CLIPBOARD);
    form.appendReturn = Checked(dialog, IDC_OPT_RETURN);
    form.clearPass = Checked(dialog, IDC_OPT_CLEARPASS);
    form.autoDock = Checked(dialog, IDC_OPT_AUTODOCK);
    form.autoDecr = Checked(dialog, IDC_OPT_AUTODECR);
    form.snk = Checked(dialog, IDC_OPT_SNK);
    form.dockTimeText = dockText;
    form.decrTimeText = decrText;

    const OptionsOkOutcome outcome = DecideOptionsOk(g_settings, form, g_snkKeysSaved);
    g_settings = outcome.settings;
    if (outcome.refusal != Message::None) {
        ShowMessage(outcome.refusal);
        return false;
    }
    if (outcome.decrWarning) ShowMessage(Message::DecrTimeZero);
    if (outcome.enrolSnk && (!outcome.askReconfigure || ShowMessage(Message::ReconfigureSnk))) {
        OpenNestedDialog(OnceDialog::SnkSeed);
    }
    if (!WriteSettings(g_settings)) ShowMessage(Message::RegistryWrite);
    return true;
}

INT_PTR OnOptionsOk(HWND dialog) {
    OptionsOkStarted(CloseState(dialog));
    const bool accepted = RunOptionsOk(dialog);
    ApplyClose(dialog, OptionsOkFinished(CloseState(dialog), accepted));
    return accepted ? TRUE : FALSE;
}
} // namespace

INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: InitOptions(dialog, lParam); return FALSE;
    case WM_TIMER:
        if (wParam == ID_TIMER_OPTIONS) ApplyClose(dialog, OptionsTimerFired(CloseState(dialog)));
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_OPT_AUTODOCK:
            ApplyOptionBox(dialog, IDC_OPT_AUTODOCK, g_settings.AutoDock, IDC_OPT_DOCKTIME,
                           IDC_OPT_DOCKTIME_LABEL);
            return FALSE;
        case IDC_OPT_AUTODECR:
            ApplyOptionBox(dialog, IDC_OPT_AUTODECR, g_settings.AutoDecr, IDC_OPT_DECRTIME,
                           IDC_OPT_DECRTIME_LABEL);
            return FALSE;
        case IDC_OPT_ABOUT: OpenNestedDialog(OnceDialog::About); return FALSE;
        case IDOK: return OnOptionsOk(dialog);
        case IDCANCEL:
            // NOTE: the two check boxes above took effect at once; Cancel keeps
            // them for this run and only leaves the registry alone.
            EndDialog(dialog, 1);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

void RunOptionsDialog(HWND owner) {
    OptionsCloseState closeState = {};
    RunOnce(OnceDialog::Options, owner, reinterpret_cast<LPARAM>(&closeState));
}
