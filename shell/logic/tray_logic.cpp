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

TrayNotice TrayNoticeFor(unsigned mouseMessage) {
    switch (mouseMessage) {
    case kMouseLeftDoubleClick: return TrayNotice::ShowMain;
    case kMouseRightDown: return TrayNotice::ShowMenu;
    default: return TrayNotice::None;
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
