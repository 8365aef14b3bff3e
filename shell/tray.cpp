#include "shell/tray.h"

#include <shellapi.h>

#include "resources/resource.h"
#include "shell/app_state.h"
#include "shell/compute_job.h"
#include "shell/dialogs.h"
#include "shell/logic/main_logic.h"
#include "shell/logic/tray_logic.h"

namespace {

// Whether a notice of ours may still be on screen.
bool noticeUp = false;
// Ignored from Windows Vista on; older shells keep a notice at least this long.
constexpr UINT kNoticeTimeoutMs = 10000;

// The first version of the structure (88 bytes) is all the icon needs.
NOTIFYICONDATAA TrayIconData(HWND dialog) {
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = dialog;
    data.uID = TRAY_ICON_UID;
    return data;
}

// The first version with notices; the icon itself was added with the first one. An empty
// text takes a notice down.
NOTIFYICONDATAA NoticeData(HWND dialog) {
    NOTIFYICONDATAA data = TrayIconData(dialog);
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.uFlags = NIF_INFO;
    data.uTimeout = kNoticeTimeoutMs;
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

bool ShowNotice(HWND dialog, const NoticeText& notice) {
    if (notice.notice == Notice::None) return false;
    NOTIFYICONDATAA data = NoticeData(dialog);
    lstrcpynA(data.szInfoTitle, notice.title, sizeof data.szInfoTitle);
    lstrcpynA(data.szInfo, notice.text, sizeof data.szInfo);
    data.dwInfoFlags = notice.icon == NoticeIcon::Warning ? NIIF_WARNING : NIIF_INFO;
    const bool shown = Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
    noticeUp = noticeUp || shown;
    return shown;
}

void HideNotice(HWND dialog) {
    if (!noticeUp) return;
    NOTIFYICONDATAA data = NoticeData(dialog);
    Shell_NotifyIconA(NIM_MODIFY, &data);
    noticeUp = false;
}

void OnTrayNotify(HWND dialog, LPARAM lParam) {
    switch (TrayActionFor(static_cast<unsigned>(lParam))) {
    case TrayAction::ShowMain: RequestShow(dialog, ShowRequest{false, true}); break;
    case TrayAction::ShowMenu: ShowTrayMenu(dialog); break;
    case TrayAction::NoticeGone: noticeUp = false; break;
    case TrayAction::None: break;
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
    // Without a message to follow it the menu opens wrongly the next time.
    PostMessageA(dialog, WM_NULL, 0, 0);
    DestroyMenu(menu);

    // About and Options leave the dialog as it was: docked stays docked.
    switch (TrayChoiceFor(choice)) {
    case TrayChoice::About: RunOnce(OnceDialog::About, dialog, 0); break;
    case TrayChoice::Open:
        SetFocus(GetDlgItem(dialog, IDC_COUNT));
        RequestShow(dialog, ShowRequest{false, true});
        break;
    case TrayChoice::Exit: DestroyWindow(dialog); break;
    case TrayChoice::Options: RunOptionsDialog(dialog); break;
    case TrayChoice::None: break;
    }
}
