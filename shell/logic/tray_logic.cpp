#include "shell/logic/tray_logic.h"

#include "resources/resource.h"
#include "vantreth_version.h"

const char kTrayTip[] = VANTRETH_TITLE;

DockPlan DockPlanFor(const Settings& settings) {
    return DockPlan{settings.ClearPass != 0};
}

bool DockTimerExpiryDocks(const Settings& settings) {
    return settings.AutoDock != 0;
}

TrayAction TrayActionFor(unsigned iconMessage) {
    switch (iconMessage) {
    case kMouseLeftDoubleClick:
    case kNoticeClicked: return TrayAction::ShowMain;
    case kMouseRightDown: return TrayAction::ShowMenu;
    case kNoticeHidden:
    case kNoticeTimedOut: return TrayAction::NoticeGone;
    default: return TrayAction::None;
    }
}

const TrayMenuItem kTrayMenu[kTrayMenuItems] = {
    {IDM_ABOUT, "&About"},
    {IDM_OPEN, "&Open"},
    {IDM_OPTIONS, "O&ptions"},
    {IDM_EXIT, "E&xit"},
};

TrayChoice TrayChoiceFor(int menuResult) {
    switch (menuResult) {
    case IDM_ABOUT: return TrayChoice::About;
    case IDM_OPEN: return TrayChoice::Open;
    case IDM_OPTIONS: return TrayChoice::Options;
    case IDM_EXIT: return TrayChoice::Exit;
    default: return TrayChoice::None;
    }
}
