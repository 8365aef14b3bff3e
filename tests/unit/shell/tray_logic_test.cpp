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

TEST(TrayNoticeFor, DoubleClickShowsAndRightButtonDownOpensTheMenu) {
    struct Case {
        unsigned message;
        TrayNotice notice;
    } const cases[] = {
        {0x0203, TrayNotice::ShowMain}, // WM_LBUTTONDBLCLK
        {0x0204, TrayNotice::ShowMenu}, // WM_RBUTTONDOWN
        {0x0200, TrayNotice::None},     // WM_MOUSEMOVE
        {0x0201, TrayNotice::None},     // WM_LBUTTONDOWN
        {0x0202, TrayNotice::None},     // WM_LBUTTONUP
        {0x0205, TrayNotice::None},     // WM_RBUTTONUP: the menu opens on the way down
        {0x0206, TrayNotice::None},     // WM_RBUTTONDBLCLK
        {0, TrayNotice::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TrayNoticeFor(c.message), c.notice) << c.message;
}

} // namespace
