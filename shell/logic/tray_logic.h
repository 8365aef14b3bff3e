#pragma once
// Docking and the tray icon's decisions, free of the platform.
#include "shell/logic/settings.h"

constexpr unsigned kTrayTipSize = 64; // szTip of the ANSI structure's first version
extern const char kTrayTip[];         // the title

// A dock always adds the icon and hides the dialog; only the pass phrase may
// be cleared, and only with ClearPass on.
struct DockPlan {
    bool clearPassPhrase;
};

DockPlan DockPlanFor(const Settings& settings);

// The docking timer's expiry: true when it posts Close. The timer is never stopped.
bool DockTimerExpiryDocks(const Settings& settings);

// What the icon reports through WM_TRAYNOTIFY: mouse messages, and what became of a notice.
constexpr unsigned kMouseLeftDoubleClick = 515; // WM_LBUTTONDBLCLK
constexpr unsigned kMouseRightDown = 516;       // WM_RBUTTONDOWN
constexpr unsigned kNoticeHidden = 0x403;       // NIN_BALLOONHIDE
constexpr unsigned kNoticeTimedOut = 0x404;     // NIN_BALLOONTIMEOUT
constexpr unsigned kNoticeClicked = 0x405;      // NIN_BALLOONUSERCLICK

enum class TrayAction { None, ShowMain, ShowMenu, NoticeGone };

// A click on a notice brings the dialog up as a double-click on the icon does.
TrayAction TrayActionFor(unsigned iconMessage);

struct TrayMenuItem {
    unsigned id;
    const char* text;
};

constexpr int kTrayMenuItems = 4;
extern const TrayMenuItem kTrayMenu[kTrayMenuItems]; // in menu order

enum class TrayChoice { None, About, Open, Options, Exit };

// What TrackPopupMenu returned; 0 and unknown IDs do nothing.
TrayChoice TrayChoiceFor(int menuResult);
