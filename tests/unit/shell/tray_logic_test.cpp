#include "shell/logic/tray_logic.h"

#include <gtest/gtest.h>

namespace {

// Four of the shell's messages, as it numbers them: a double-click, Enter at the icon, the
// context menu, and the right button's press.
constexpr unsigned kDoubleClick = 0x0203;
constexpr unsigned kKeySelect = 0x0401;
constexpr unsigned kContextMenu = 0x007B;
constexpr unsigned kRightDown = 0x0204;
const IconMessage kMessages[] = {
    {kDoubleClick, TrayAction::ShowMain, false},
    {kKeySelect, TrayAction::OpenReady, false},
    {kContextMenu, TrayAction::Menu, false},
    {kRightDown, TrayAction::Menu, true},
};
constexpr unsigned kIcon = 11;

std::uintptr_t Version4(unsigned message) {
    return std::uintptr_t{kIcon} << 16 | message;
}

std::uintptr_t Anchor(int x, int y) {
    return static_cast<std::uint16_t>(x) | std::uintptr_t{static_cast<std::uint16_t>(y)} << 16;
}

TEST(DecodeIconNotice, ReadsBothFormsAndTheAnchorOfVersion4) {
    const struct {
        const char* what;
        std::uintptr_t wParam;
        std::uintptr_t lParam;
        TrayAction action;
        bool hasAnchor;
        int x;
        int y;
    } cases[] = {
        {"double-click, first form", kIcon, kDoubleClick, TrayAction::ShowMain, false, 0, 0},
        {"double-click, version 4", Anchor(100, 200), Version4(kDoubleClick), TrayAction::ShowMain,
         true, 100, 200},
        {"Enter, version 4", Anchor(7, 8), Version4(kKeySelect), TrayAction::OpenReady, true, 7, 8},
        {"menu key on a monitor left of the first", Anchor(-5, 768), Version4(kContextMenu),
         TrayAction::Menu, true, -5, 768},
        {"right button, first form", kIcon, kRightDown, TrayAction::Menu, false, 0, 0},
        // The context menu follows it in version 4: acted on, the menu would open twice.
        {"right button, version 4", Anchor(3, 4), Version4(kRightDown), TrayAction::None, true, 3,
         4},
        {"an unknown message", kIcon, 0x0200, TrayAction::None, false, 0, 0},
        {"an unknown message, version 4", Anchor(1, 1), Version4(0x0200), TrayAction::None, true, 1,
         1},
        // Another icon's high word is no version-4 notice of ours.
        {"another icon", Anchor(1, 1), std::uintptr_t{12} << 16 | kDoubleClick, TrayAction::None,
         false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const IconNotice notice = DecodeIconNotice(
            kMessages, sizeof kMessages / sizeof kMessages[0], kIcon, c.wParam, c.lParam);
        EXPECT_EQ(c.action, notice.action);
        EXPECT_EQ(c.hasAnchor, notice.hasAnchor);
        if (c.hasAnchor) {
            EXPECT_EQ(c.x, notice.x);
            EXPECT_EQ(c.y, notice.y);
        }
    }
}

// At logon the shell may take a minute or two to be ready: the tries cover about two minutes,
// each wait longer than the last, and then stop.
TEST(IconRetryDelayMs, GrowsForAboutTwoMinutesThenStops) {
    unsigned total = 0;
    unsigned last = 0;
    unsigned attempt = 0;
    for (; IconRetryDelayMs(attempt) != 0; ++attempt) {
        EXPECT_GT(IconRetryDelayMs(attempt), last) << attempt;
        last = IconRetryDelayMs(attempt);
        total += last;
        ASSERT_LT(attempt, 100u) << "the tries never stop";
    }
    EXPECT_LE(IconRetryDelayMs(0), 2000u) << "the first try waits too long";
    EXPECT_GE(total, 100000u);
    EXPECT_LE(total, 150000u);
    EXPECT_EQ(0u, IconRetryDelayMs(attempt + 1));
}

} // namespace
