#include "shell/services/tray.h"

#include <shellapi.h>

#include <cstring>

#include "resources/resource.h"
#include "shell/services/app_state.h"
#include "shell/services/modal.h"

namespace {

// The whole structure: version 4 needs its later fields.
NOTIFYICONDATAA IconData(HWND dialog) {
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof data;
    data.hWnd = dialog;
    data.uID = TRAY_ICON_UID;
    return data;
}
static_assert(sizeof(NOTIFYICONDATAA::szTip) == kTrayTipSize, "the tip's size");
static_assert(sizeof(NOTIFYICONDATAA::szInfoTitle) == kNoticeTitleSize, "a notice title's size");
static_assert(sizeof(NOTIFYICONDATAA::szInfo) == kNoticeTextSize, "a notice text's size");

// The messages of the icon, named by the platform; what each asks is the tray logic's.
constexpr IconMessage kIconMessages[] = {
    {WM_LBUTTONDBLCLK, TrayAction::ShowMain, false},
    {NIN_BALLOONUSERCLICK, TrayAction::ShowMain, false},
    {NIN_SELECT, TrayAction::OpenReady, false},
    {NIN_KEYSELECT, TrayAction::OpenReady, false},
    {WM_CONTEXTMENU, TrayAction::Menu, false},
    {WM_RBUTTONDOWN, TrayAction::Menu, true},
    {NIN_BALLOONHIDE, TrayAction::NoticeGone, false},
    {NIN_BALLOONTIMEOUT, TrayAction::NoticeGone, false},
};

// Whether a notice of ours may still be on screen.
bool noticeMayBeUp = false;
// Due once the icon is there: the first start's.
NoticeText noticeDue = {};
// The icon's look: the plain one, or the waiting one with its tip.
bool marked = false;
char markedTip[kTrayTipSize] = {};
unsigned retryAttempt = 0;

// The icon and tip it should show now.
void DescribeIcon(NOTIFYICONDATAA& data) {
    data.uFlags |= NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    data.hIcon =
        LoadIconAtSystemSize(marked ? IDI_TRAY_WAITING : IDI_TRAY, SM_CXSMICON, SM_CYSMICON);
    lstrcpynA(data.szTip, marked ? markedTip : kTrayTip, sizeof data.szTip);
}

// Present: brought up to date, true. Missing: false.
bool UpdateIcon(HWND dialog) {
    NOTIFYICONDATAA data = IconData(dialog);
    DescribeIcon(data);
    const bool present = Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
    DestroyIcon(data.hIcon);
    return present;
}

// Version 4 reads the keyboard at the icon (Enter, Space, the menu key); after every add,
// as the shell forgets it with the icon. Refused, the first form goes on working.
void SetIconVersion(HWND dialog) {
    NOTIFYICONDATAA data = IconData(dialog);
    data.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconA(NIM_SETVERSION, &data);
}

bool AddIcon(HWND dialog) {
    NOTIFYICONDATAA data = IconData(dialog);
    data.uFlags = NIF_MESSAGE;
    data.uCallbackMessage = WM_TRAYNOTIFY;
    DescribeIcon(data);
    const bool added = Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
    DestroyIcon(data.hIcon);
    if (!added) return false;
    SetIconVersion(dialog);
    return true;
}

// An add that timed out at logon may still have gone in: the icon is then there without its
// version, and a second add would only fail.
bool PresentOrAdded(HWND dialog) {
    if (!UpdateIcon(dialog)) return AddIcon(dialog);
    SetIconVersion(dialog);
    return true;
}

void IconIsThere(HWND dialog) {
    KillTimer(dialog, ID_TIMER_ICON);
    retryAttempt = 0;
    if (noticeDue.notice != Notice::None && OfferNotice(dialog, noticeDue)) noticeDue = {};
}

void TryAgainLater(HWND dialog) {
    const unsigned delay = IconRetryDelayMs(retryAttempt++);
    if (delay != 0) SetTimer(dialog, ID_TIMER_ICON, delay, nullptr);
}

NOTIFYICONDATAA NoticeData(HWND dialog) {
    NOTIFYICONDATAA data = IconData(dialog);
    data.uFlags = NIF_INFO;
    return data;
}

bool IsOurs(HWND window) {
    return window != nullptr && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

// The item chosen, 0 for none.
int ShowTrayMenu(HWND dialog, POINT at, bool fromKeyboard, HWND waiting) {
    HMENU menu = CreatePopupMenu();
    for (const TrayMenuItem& item : kTrayMenu) {
        AppendMenuA(menu, MF_STRING, item.id, item.text);
        if (item.isDefault) SetMenuDefaultItem(menu, item.id, FALSE);
    }
    // Without a window of ours in front the menu would not close when the user clicks
    // elsewhere. A box or dialog of ours that waits for an answer is that window: the dialog
    // under it is disabled and would keep the keyboard from everything after the menu.
    SetForegroundWindow(waiting != nullptr ? waiting : dialog);
    // Opened at the keyboard, the menu starts at its default item, for Enter to choose.
    for (int key = fromKeyboard ? DownKeysToDefaultItem() : 0; key > 0; --key)
        PostMessageA(dialog, WM_KEYDOWN, VK_DOWN, 0);
    const int choice = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_BOTTOMALIGN | TPM_RIGHTBUTTON, at.x,
                                      at.y, 0, dialog, nullptr);
    // Without a message to follow it the menu opens wrongly the next time.
    PostMessageA(dialog, WM_NULL, 0, 0);
    DestroyMenu(menu);
    return choice;
}

} // namespace

// The keyboard goes back where it was: to the notification area, where the shell had it, or
// to the program that had it; never left in the hidden dialog the menu needed in front. Only
// while it is still ours to give: a user who has moved on keeps it where they put it.
void GiveKeyboardBack(HWND dialog, HWND before) {
    const HWND now = GetForegroundWindow();
    if (now != nullptr && !IsOurs(now)) return;
    DWORD shell = 0;
    DWORD owner = 0;
    const HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    if (taskbar != nullptr) GetWindowThreadProcessId(taskbar, &shell);
    if (before != nullptr && IsWindow(before) && !IsOurs(before) &&
        GetWindowThreadProcessId(before, &owner) != 0 && owner != shell &&
        SetForegroundWindow(before))
        return;
    NOTIFYICONDATAA data = IconData(dialog);
    Shell_NotifyIconA(NIM_SETFOCUS, &data);
}

HICON LoadIconAtSystemSize(int resource, int widthMetric, int heightMetric) {
    // The system's icon sizes follow the display scaling (a small icon is 16 px
    // at 100 %, 24 at 150 %); LoadIconA would hand over a stretched 32 px image.
    return static_cast<HICON>(LoadImageA(g_instance, MAKEINTRESOURCEA(resource), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR));
}

void EnsureTrayIcon(HWND dialog) {
    if (PresentOrAdded(dialog)) {
        IconIsThere(dialog);
    } else if (retryAttempt == 0) {
        TryAgainLater(dialog);
    }
}

void RetryTrayIcon(HWND dialog) {
    KillTimer(dialog, ID_TIMER_ICON);
    if (PresentOrAdded(dialog)) {
        IconIsThere(dialog);
    } else {
        TryAgainLater(dialog);
    }
}

void TaskbarMadeAnew(HWND dialog) {
    retryAttempt = 0;
    KillTimer(dialog, ID_TIMER_ICON);
    EnsureTrayIcon(dialog);
}

void RemoveTrayIcon(HWND dialog) {
    KillTimer(dialog, ID_TIMER_ICON);
    NOTIFYICONDATAA data = IconData(dialog);
    Shell_NotifyIconA(NIM_DELETE, &data);
}

void MarkTrayIcon(HWND dialog, const char* tip) {
    const bool wasMarked = marked;
    const bool sameTip = tip != nullptr && std::strcmp(markedTip, tip) == 0;
    marked = tip != nullptr;
    if (marked) lstrcpynA(markedTip, tip, sizeof markedTip);
    if (marked != wasMarked || (marked && !sameTip)) UpdateIcon(dialog);
}

bool OfferNotice(HWND dialog, const NoticeText& notice) {
    if (notice.notice == Notice::None) return false;
    NOTIFYICONDATAA data = NoticeData(dialog);
    lstrcpynA(data.szInfoTitle, notice.title, sizeof data.szInfoTitle);
    lstrcpynA(data.szInfo, notice.text, sizeof data.szInfo);
    data.dwInfoFlags = notice.icon == NoticeIcon::Warning ? NIIF_WARNING : NIIF_INFO;
    const bool accepted = Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
    noticeMayBeUp = noticeMayBeUp || accepted;
    return accepted;
}

void OfferNoticeOnceIconIsThere(const NoticeText& notice) {
    noticeDue = notice;
}

void WithdrawNotice(HWND dialog) {
    if (!noticeMayBeUp) return;
    // An empty text takes a notice down.
    NOTIFYICONDATAA data = NoticeData(dialog);
    Shell_NotifyIconA(NIM_MODIFY, &data);
    noticeMayBeUp = false;
}

TrayRequest OnTrayNotify(HWND dialog, WPARAM wParam, LPARAM lParam) {
    const IconNotice notice =
        DecodeIconNotice(kIconMessages, sizeof kIconMessages / sizeof kIconMessages[0],
                         TRAY_ICON_UID, wParam, static_cast<std::uintptr_t>(lParam));
    TrayRequest request = {notice.action, 0, nullptr, false};
    if (notice.action == TrayAction::NoticeGone) noticeMayBeUp = false;
    if (notice.action != TrayAction::Menu) return request;
    POINT pointer = {};
    GetCursorPos(&pointer);
    const POINT at = notice.hasAnchor ? POINT{notice.x, notice.y} : pointer;
    request.before = GetForegroundWindow();
    const HWND waiting = WaitingWindow(dialog);
    request.overWaiting = waiting != nullptr;
    request.menuChoice =
        ShowTrayMenu(dialog, at, MenuFromKeyboard(notice, pointer.x, pointer.y), waiting);
    return request;
}
