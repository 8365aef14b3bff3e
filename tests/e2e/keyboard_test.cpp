// The keyboard as a user works the dialogs with it.
#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "tests/e2e/foreground.h"
#include "tests/e2e/program.h"
#include "tests/e2e/registry.h"

namespace {

std::string Describe(HWND control) {
    if (control == nullptr) return "no control";
    return "control " + std::to_string(GetDlgCtrlID(control)) + " \"" + Text(control) + "\"";
}

// The dialog's order, with Copy enabled by a response and SHA1 the checked radio: the Tab
// key lands on the checked radio of the group, not on the group's first.
TEST(Keyboard, TabWalksTheMainDialogInItsOrderAndBackToTheCount) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartShown(&run.program));
    ASSERT_TRUE(EnterChallenge(program, IDC_SHA1, "99", "ke1234", "This is a test."));
    ASSERT_FALSE(PressOk(program).response.empty());
    ASSERT_TRUE(IsEnabled(Control(program, IDC_COPY)));

    ClickInto(Control(program, IDC_COUNT));
    ASSERT_TRUE(WaitUntil([&] { return FocusedWindow(program) == Control(program, IDC_COUNT); }))
        << Describe(FocusedWindow(program));
    const int order[] = {IDC_SEED, IDC_PASSPHRASE, IDC_COMPUTE,  IDC_CLOSE, IDC_OPTIONS, IDC_EXIT,
                         IDC_COPY, IDC_SHA1,       IDC_CLEARALL, IDC_LIST,  IDC_RENEW,   IDC_COUNT};
    for (int id : order) {
        const HWND from = FocusedWindow(program);
        PressKey(from, VK_TAB);
        ASSERT_TRUE(WaitUntil([&] { return FocusedWindow(program) == Control(program, id); }))
            << "Tab from " << Describe(from) << " reached " << Describe(FocusedWindow(program))
            << ", not control " << id;
    }
    EXPECT_TRUE(IsChecked(Control(program, IDC_SHA1))) << "walking the order changed the hash";
}

// The menu needs the hidden dialog in front while it is open. Afterwards the keyboard goes back
// where it was, and a docked dialog acts on no key: a '7' typed, then Escape, leave the program
// running, docked, its count as it was. The menu opens at its anchor (the menu key) or at the
// pointer (a right click), and ends escaped or with a dialog chosen from it and closed.
struct MenuCase {
    const char* what;
    bool atTheAnchor;
    char choice; // the mnemonic of About or Options; 0: Escape
};

const MenuCase kMenus[] = {
    {"the menu key's menu, escaped", true, 0},
    {"a right click's menu, escaped", false, 0},
    {"About from the menu, closed", true, 'a'},
    {"Options from the menu, cancelled", false, 'p'},
};

// Where the menu key puts the menu: its bottom left corner.
constexpr int kAnchorX = 300;
constexpr int kAnchorY = 400;

TEST(Keyboard, AfterTheTrayMenuNoKeyReachesTheHiddenDialog) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(QuietSettings(), &run.program));
    ASSERT_TRUE(SetField(program, IDC_COUNT, "42"));
    ScopedForeignWindow terminal("Terminal");
    for (const MenuCase& c : kMenus) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(BringToFront(terminal.window));
        if (c.atTheAnchor) NotifyIconVersion4(program, WM_CONTEXTMENU, kAnchorX, kAnchorY);
        const HWND menu = c.atTheAnchor ? WaitForTrayMenu(program) : OpenTrayMenu(program);
        ASSERT_NE(nullptr, menu);
        if (c.atTheAnchor) {
            RECT area = {};
            GetWindowRect(menu, &area);
            EXPECT_EQ(kAnchorX, area.left);
            EXPECT_EQ(kAnchorY, area.bottom);
        }
        // Worked at the keyboard: its keys reach the menu.
        if (c.choice == 0) {
            PressKeysAtTheKeyboard({VK_ESCAPE});
        } else {
            PressKeysAtTheKeyboard({static_cast<WORD>(c.choice - 'a' + 'A')});
            const HWND chosen =
                WaitForDialog(program.processId, c.choice == 'a' ? "About" : kOptionsCaption);
            ASSERT_NE(nullptr, chosen);
            ASSERT_TRUE(CloseBox(chosen, IDCANCEL));
        }
        ASSERT_TRUE(WaitForGone(menu));
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() != program.dialog; }))
            << "the hidden dialog kept the keyboard";

        // At the keyboard, and straight into the field that had the focus.
        PressKeysAtTheKeyboard({'7', VK_ESCAPE});
        const HWND focus = FocusedWindow(program);
        TypeChar(focus != nullptr ? focus : program.dialog, '7');
        PressKey(focus != nullptr ? focus : program.dialog, VK_ESCAPE);
        PressKey(program.dialog, VK_RETURN);
        ASSERT_TRUE(Handled(program));
        EXPECT_TRUE(StaysDocked(program));
        EXPECT_EQ("42", Field(program, IDC_COUNT));
        EXPECT_EQ(nullptr, FindAnyBox(program)) << BoxText(FindAnyBox(program));
    }
}

// Keyboard users reach the icon with Win+B and the arrow keys; the shell then sends version 4's
// select messages, which may come twice. The dialog comes up once, ready as the menu's Open
// leaves it; a double-click brings it up in either form.
struct AtTheIcon {
    const char* what;
    UINT messages[2]; // 0: none
    bool version4;
    bool ready; // the keyboard in the count field
};

const AtTheIcon kAtTheIcon[] = {
    {"Enter", {NIN_KEYSELECT, 0}, true, true},
    {"a click, then Enter", {NIN_SELECT, NIN_KEYSELECT}, true, true},
    {"Enter, reported twice", {NIN_KEYSELECT, NIN_KEYSELECT}, true, true},
    {"a double-click, version 4", {WM_LBUTTONDBLCLK, 0}, true, false},
    {"a double-click, first form", {WM_LBUTTONDBLCLK, 0}, false, false},
};

TEST(Keyboard, AtTheIconTheDialogComesUpOnceReady) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(QuietSettings(), &run.program));
    for (const AtTheIcon& c : kAtTheIcon) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(Click(program, IDC_CLOSE));
        ASSERT_TRUE(WaitUntil([&] { return IsDocked(program); }));
        for (const UINT message : c.messages) {
            if (message == 0) continue;
            if (c.version4) {
                NotifyIconVersion4(program, message, kAnchorX, kAnchorY);
            } else {
                NotifyIcon(program, message);
            }
        }
        EXPECT_TRUE(WaitUntil([&] {
            return IsShown(program) && GetForegroundWindow() == program.dialog &&
                   (!c.ready || FocusedWindow(program) == Control(program, IDC_COUNT));
        }));
        // Moved on by the user, the keyboard stays where the user put it: no second show
        // takes it back.
        ClickInto(Control(program, IDC_PASSPHRASE));
        EXPECT_TRUE(
            WaitUntil([&] { return FocusedWindow(program) == Control(program, IDC_PASSPHRASE); }));
        EXPECT_FALSE(WaitUntil(
            [&] { return FocusedWindow(program) != Control(program, IDC_PASSPHRASE); }, kSettleMs));
    }
}

} // namespace
