#include "shell/logic/tray_logic.h"

#include <cstring>

#include <gtest/gtest.h>

#include "resources/resource.h"

namespace {

Settings Flags(unsigned char clearPass, unsigned char autoDock) {
    Settings s{};
    s.ClearPass = clearPass;
    s.AutoDock = autoDock;
    s.DockTime = 30;
    return s;
}

TEST(DockPlanFor, ClearsThePassPhraseOnlyWithClearPass) {
    EXPECT_FALSE(DockPlanFor(Flags(0, 1)).clearPassPhrase);
    EXPECT_TRUE(DockPlanFor(Flags(1, 0)).clearPassPhrase);
    EXPECT_TRUE(DockPlanFor(Flags(0xff, 0)).clearPassPhrase);
}

TEST(DockTimerExpiryDocks, OnlyWithAutoDock) {
    EXPECT_FALSE(DockTimerExpiryDocks(Flags(1, 0)));
    EXPECT_TRUE(DockTimerExpiryDocks(Flags(0, 1)));
    EXPECT_TRUE(DockTimerExpiryDocks(Flags(0, 0x40)));
}

TEST(TrayActionFor, DoubleClickOrANoticeClickShowsAndRightButtonDownOpensTheMenu) {
    struct Case {
        unsigned message;
        TrayAction action;
    } const cases[] = {
        {0x0203, TrayAction::ShowMain},   // WM_LBUTTONDBLCLK
        {0x0405, TrayAction::ShowMain},   // NIN_BALLOONUSERCLICK
        {0x0204, TrayAction::ShowMenu},   // WM_RBUTTONDOWN
        {0x0403, TrayAction::NoticeGone}, // NIN_BALLOONHIDE
        {0x0404, TrayAction::NoticeGone}, // NIN_BALLOONTIMEOUT
        {0x0402, TrayAction::None},       // NIN_BALLOONSHOW
        {0x0200, TrayAction::None},       // WM_MOUSEMOVE
        {0x0201, TrayAction::None},       // WM_LBUTTONDOWN
        {0x0202, TrayAction::None},       // WM_LBUTTONUP
        {0x0205, TrayAction::None},       // WM_RBUTTONUP: the menu opens on the way down
        {0x0206, TrayAction::None},       // WM_RBUTTONDBLCLK
        {0x0400, TrayAction::None},       // NIN_SELECT, sent only to later icon versions
        {0, TrayAction::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TrayActionFor(c.message), c.action) << c.message;
}

} // namespace
