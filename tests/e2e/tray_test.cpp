// Docking, the tray icon's notices and menu, and the About box.
#include <gtest/gtest.h>

#include <cstring>

#include "resources/resource.h"
#include "vantreth_version.h"
#include "tests/e2e/clipboard.h"
#include "tests/e2e/program.h"
#include "tests/e2e/registry.h"

namespace {

// Far below the About box's own 10 seconds, so that closing by itself cannot pass for it.
constexpr DWORD kAtOnceMs = 3000;

TEST(Tray, CloseDocksAndADoubleClickOnTheIconShows) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(QuietSettings(), &run.program));

    ASSERT_TRUE(ShowFromTray(program));
    ASSERT_TRUE(Click(program, IDC_CLOSE));
    EXPECT_TRUE(WaitUntil([&] { return IsDocked(program); }));
    EXPECT_TRUE(StaysDocked(program));

    EXPECT_TRUE(ShowFromTray(program));
    EXPECT_TRUE(TrayIconPresent(program.dialog)) << "showing the dialog removed the icon";
}

// Explorer restarted, several times over: the icon comes back each time, and the dialog stays
// as it was, docked or shown.
TEST(Tray, IconComesBackWhenTheTaskbarIsMadeAnew) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(QuietSettings(), &run.program));
    for (bool shown : {false, true}) {
        SCOPED_TRACE(shown ? "shown" : "docked");
        if (shown) {
            ASSERT_TRUE(ShowFromTray(program));
        }
        for (int round = 0; round < 3; ++round) {
            ASSERT_TRUE(MakeTaskbarAnew(program.dialog)) << "round " << round;
            EXPECT_TRUE(WaitUntil([&] { return TrayIconPresent(program.dialog); }))
                << "round " << round;
        }
        if (shown) {
            Sleep(kSettleMs);
            EXPECT_TRUE(IsShown(program));
        } else {
            EXPECT_TRUE(StaysDocked(program));
        }
    }
    EXPECT_TRUE(StillRunning(program));
}

struct MenuEntry {
    UINT id;
    const char* text;
    char mnemonic;
};

const MenuEntry kMenu[] = {
    {IDM_ABOUT, "&About", 'a'},
    {IDM_OPEN, "&Open", 'o'},
    {IDM_OPTIONS, "O&ptions", 'p'},
    {IDM_EXIT, "E&xit", 'x'},
};
constexpr int kMenuSize = sizeof kMenu / sizeof kMenu[0];

// Opens the menu and takes item `position`, by the arrow keys or by its mnemonic.
bool ChooseFromTrayMenu(const Program& program, int position, bool byMnemonic) {
    // Whether the dialog shows after a dialog run from the menu is the program's choice;
    // start each choice docked so that Open has something to show.
    if (IsShown(program) && !Click(program, IDC_CLOSE)) return false;
    const HWND menu = OpenTrayMenu(program);
    if (menu == nullptr) return false;
    if (byMnemonic)
        ChooseMenuItemByKey(menu, kMenu[position].mnemonic);
    else
        ChooseMenuItem(menu, position);
    return WaitForGone(menu);
}

// Checks what the choice of About, Open or Options did and undoes it.
void ExpectChoiceActed(const Program& program, UINT id) {
    if (id == IDM_ABOUT) {
        const HWND about = WaitForDialog(program.processId, "About");
        ASSERT_NE(nullptr, about);
        PressKey(about, VK_ESCAPE);
        EXPECT_TRUE(WaitForGone(about, kAtOnceMs));
    } else if (id == IDM_OPEN) {
        EXPECT_TRUE(WaitUntil([&] { return IsShown(program); }));
        EXPECT_EQ(Control(program, IDC_COUNT), FocusedWindow(program));
        ASSERT_TRUE(Click(program, IDC_CLOSE));
        EXPECT_TRUE(WaitUntil([&] { return IsDocked(program); }));
    } else if (id == IDM_OPTIONS) {
        const HWND options = WaitForDialog(program.processId, "OTP Options");
        ASSERT_NE(nullptr, options);
        ASSERT_TRUE(CloseBox(options, IDCANCEL));
    }
}

TEST(TrayMenu, OffersAboutOpenOptionsExitInThisOrder) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(QuietSettings(), &run.program));

    // Wine keeps menus per process, so there the items cannot be read from outside;
    // the choices below still pin the order and the mnemonics down.
    const HWND menu = OpenTrayMenu(program);
    ASSERT_NE(nullptr, menu);
    MenuItem items[kMaxMenuItems];
    const int count = ReadMenu(menu, items, kMaxMenuItems);
    if (count >= 0) {
        ASSERT_EQ(kMenuSize, count);
        for (int i = 0; i < kMenuSize; ++i) {
            EXPECT_EQ(kMenu[i].id, items[i].id) << i;
            EXPECT_STREQ(kMenu[i].text, items[i].text) << i;
        }
    }
    DismissMenu(menu);
    ASSERT_TRUE(WaitForGone(menu));
    EXPECT_TRUE(IsDocked(program)) << "a dismissed menu acted";

    for (bool byMnemonic : {false, true}) {
        for (int position = 0; position < kMenuSize - 1; ++position) {
            SCOPED_TRACE(testing::Message()
                         << kMenu[position].text << (byMnemonic ? " by mnemonic" : " by position"));
            if (kMenu[position].id == IDM_OPEN) {
                // The focus elsewhere first, so that Open has to move it.
                ASSERT_TRUE(ShowFromTray(program));
                ClickInto(Control(program, IDC_PASSPHRASE));
                ASSERT_TRUE(WaitUntil(
                    [&] { return FocusedWindow(program) == Control(program, IDC_PASSPHRASE); }));
            }
            ASSERT_TRUE(ChooseFromTrayMenu(program, position, byMnemonic));
            ExpectChoiceActed(program, kMenu[position].id);
        }
    }
}

// Chooses About, the first item, and waits for its dialog; null when none came.
HWND ChooseAbout(const Program& program) {
    if (!ChooseFromTrayMenu(program, 0, false)) return nullptr;
    return WaitForDialog(program.processId, "About");
}

TEST(About, ShowsTitleAndVersionAndClosesAtOnceOnEnterOrEsc) {
    ScopedProgram run;
    ASSERT_TRUE(StartProgramWith(QuietSettings(), &run.program));

    for (UINT key : {VK_RETURN, VK_ESCAPE}) {
        SCOPED_TRACE(key == VK_RETURN ? "Enter" : "Esc");
        const HWND about = ChooseAbout(run.program);
        ASSERT_NE(nullptr, about);
        EXPECT_TRUE(HasChildWithText(about, VANTRETH_ABOUT_TEXT));
        PressKey(about, key);
        EXPECT_TRUE(WaitForGone(about, kAtOnceMs));
    }
}

TEST(About, ClosesItselfAfterTenSeconds) {
    ScopedProgram run;
    ASSERT_TRUE(StartProgramWith(QuietSettings(), &run.program));
    const HWND about = ChooseAbout(run.program);
    ASSERT_NE(nullptr, about);
    const DWORD opened = GetTickCount();
    ASSERT_TRUE(WaitForGone(about, 20000));
    // Measured from when we saw it, so at most the full 10 s; a timer cannot fire early.
    EXPECT_GE(GetTickCount() - opened, 9000u);
}

} // namespace
