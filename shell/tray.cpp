#include "shell/tray.h"

#include <shellapi.h>

#include "resources/resource.h"
#include "shell/app_state.h"
#include "shell/compute_job.h"
#include "shell/dialogs.h"
#include "shell/logic/main_logic.h"
#include "shell/logic/tray_logic.h"

namespace {

// The first version of the structure (88 bytes) is all the icon needs.
NOTIFYICONDATAA TrayIconData(HWND dialog) {
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = dialog;
    data.uID = TRAY_ICON_UID;
    return data;
}

} // namespace

HICON LoadIconAtSystemSize(int resource, int widthMetric, int heightMetric) {
    // The system's icon sizes follow the display scaling (a small icon is 16 px
    // at 100 %, 24 at 150 %); LoadIconA would hand over a stretched 32 px image.
    return static_cast<HICON>(LoadImageA(g_instance, MAKEINTRESOURCEA(resource), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR));
}

bool AddTrayIcon(HWND dialog) {
    NOTIFYICONDATAA data = TrayIconData(dialog);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAYNOTIFY;
    data.hIcon = LoadIconAtSystemSize(IDI_TRAY, SM_CXSMICON, SM_CYSMICON);
    lstrcpynA(data.szTip, kTrayTip, kTrayTipSize);
    const bool added = Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
    DestroyIcon(data.hIcon);
    return added;
}

void RemoveTrayIcon(HWND dialog) {
    NOTIFYICONDATAA data = TrayIconData(dialog);
    Shell_NotifyIconA(NIM_DELETE, &data);
}

void DockMainDialog(HWND dialog) {
    const DockPlan plan = DockPlanFor(g_settings);
    // Adding an icon that is already there fails harmlessly; one that went
    // missing (a restarted taskbar) comes back this way.
    AddTrayIcon(dialog);
    ShowWindow(dialog, SW_HIDE);
    if (plan.clearPassPhrase) {
        // Putting the dialog away is no change of what a running long count answers.
        ComputeJobPassPhraseCleared();
        SetDlgItemTextA(dialog, IDC_PASSPHRASE, "");
    }
}

void RestartDockTimer(HWND dialog) {
    KillTimer(dialog, ID_TIMER_DOCK);
    SetTimer(dialog, ID_TIMER_DOCK, TimerIntervalMs(g_settings.DockTime), nullptr);
}

void OnDockTimer(HWND dialog) {
    if (DockTimerExpiryDocks(g_settings)) PostMessageA(dialog, WM_COMMAND, IDC_CLOSE, 0);
}

void OnTrayNotify(HWND dialog, LPARAM lParam) {
    switch (TrayNoticeFor(static_cast<unsigned>(lParam))) {
    case TrayNotice::ShowMain: PostMessageA(dialog, WM_SHOWMAIN, 0, 0); break;
    case TrayNotice::ShowMenu: ShowTrayMenu(dialog); break;
    case TrayNotice::None: break;
    }
}

void ShowTrayMenu(HWND dialog) {
    HMENU menu = CreatePopupMenu();
    for (const TrayMenuItem& item : kTrayMenu)
        AppendMenuA(menu, MF_STRING, item.id, item.text);
    // Without this the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(dialog);
    POINT cursor = {};
    GetCursorPos(&cursor);
    const int choice = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_BOTTOMALIGN | TPM_RIGHTBUTTON,
                                      cursor.x, cursor.y, 0, dialog, nullptr);
    DestroyMenu(menu);

    // About and Options leave the dialog as it was: docked stays docked.
    switch (TrayChoiceFor(choice)) {
    case TrayChoice::About:
        DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_ABOUT), dialog, AboutDialogProc, 0);
        break;
    case TrayChoice::Open:
        SetFocus(GetDlgItem(dialog, IDC_COUNT));
        PostMessageA(dialog, WM_SHOWMAIN, 0, 0);
        break;
    case TrayChoice::Exit: DestroyWindow(dialog); break;
    case TrayChoice::Options: RunOptionsDialog(dialog); break;
    case TrayChoice::None: break;
    }
}
