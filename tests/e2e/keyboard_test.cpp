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
// where it was, and where the shell does not take it back the hidden dialog acts on no key: a '7'
// typed, then Escape and Enter, leave the program running, docked, its count as it was. The menu
// opens at its anchor (the menu key) or at the pointer (a right click), and ends escaped or with a
// dialog chosen from it and closed.
struct MenuCase {
    const char* what;
    bool atTheAnchor;
    char choice;  // the mnemonic of About or Options; 0: Escape
    bool nowhere; // no window was in front: the keys go nowhere of ours
};

const MenuCase kMenus[] = {
    {"the menu key's menu, escaped", true, 0, false},
    {"a right click's menu, escaped", false, 0, false},
    {"About from the menu, closed", true, 'a', false},
    {"Options from the menu, cancelled", false, 'p', false},
    {"a right click's menu with no window in front, escaped", false, 0, true},
};

// Where the menu key puts the menu: its bottom left corner, away from the pointer.
constexpr int kAnchorX = 300;
constexpr int kAnchorY = 400;

HWND OpenMenuAtTheAnchor(const Program& program) {
    const POINT anchor = {kAnchorX, kAnchorY};
    return OpenTrayMenu(program, &anchor);
}

TEST(Keyboard, AfterTheTrayMenuTheKeyboardIsBackWhereItWas) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(QuietSettings(), &run.program));
    ASSERT_TRUE(SetField(program, IDC_COUNT, "42"));
    ScopedForeignWindow terminal("Terminal");
    for (const MenuCase& c : kMenus) {
        SCOPED_TRACE(c.what);
        if (c.nowhere) {
            // The shell's window in front, which Wine's shell does not take the keyboard back to.
            ShowWindow(terminal.window, SW_HIDE);
            ScopedForeignWindow gone("Gone");
            ASSERT_TRUE(BringToFront(gone.window));
        } else {
            ASSERT_TRUE(BringToFront(terminal.window));
        }
        const HWND menu = c.atTheAnchor ? OpenMenuAtTheAnchor(program) : OpenTrayMenu(program);
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
        EXPECT_TRUE(c.nowhere ||
                    WaitUntil([&] { return GetForegroundWindow() == terminal.window; }))
            << "in front: \"" << Caption(GetForegroundWindow()) << "\"";

        PressKeysAtTheKeyboard({'7', VK_ESCAPE, VK_RETURN});
        ASSERT_TRUE(Handled(program));
        EXPECT_TRUE(StaysDocked(program));
        EXPECT_EQ("42", Field(program, IDC_COUNT));
        EXPECT_EQ(nullptr, FindAnyBox(program)) << BoxText(FindAnyBox(program));
    }
}

// A box or dialog of ours that waits for an answer keeps the keyboard through the tray menu:
// Escape at the keyboard then answers it.
TEST(Keyboard, TheTrayMenuLeavesTheKeyboardWithTheWindowThatWaits) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartShown(&run.program));
    const HWND options = OpenOptionsWithButton(program);
    ASSERT_NE(nullptr, options);
    const HWND menu = OpenMenuAtTheAnchor(program);
    ASSERT_NE(nullptr, menu);
    PressKeysAtTheKeyboard({VK_ESCAPE});
    ASSERT_TRUE(WaitForGone(menu));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == options; }))
        << "in front: \"" << Caption(GetForegroundWindow()) << "\"";
    PressKeysAtTheKeyboard({VK_ESCAPE});
    EXPECT_TRUE(WaitForGone(options)) << "the key went elsewhere";
}

// Enter on the menu opened at the keyboard chooses its default, Open: the dialog comes up with
// the keyboard in its first field, the count, or the challenge in SNK mode, which has none.
TEST(Keyboard, EnterOnTheMenuKeysMenuOpensTheDialogReady) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(SnkSettings(), &run.program));
    for (const bool snk : {false, true}) {
        SCOPED_TRACE(snk ? "SNK mode" : "S/Key mode");
        if (snk) {
            ASSERT_TRUE(EnterSnkMode(program));
            ASSERT_TRUE(Click(program, IDC_CLOSE));
            ASSERT_TRUE(WaitUntil([&] { return IsDocked(program); }));
        }
        const HWND menu = OpenMenuAtTheAnchor(program);
        ASSERT_NE(nullptr, menu);
        PressKeysAtTheKeyboard({VK_RETURN});
        const int ready = snk ? IDC_SEED : IDC_COUNT;
        EXPECT_TRUE(WaitUntil([&] { return InFrontWithKeyboardIn(program, ready); }))
            << Describe(FocusedWindow(program));
        ASSERT_TRUE(Click(program, IDC_CLOSE));
        ASSERT_TRUE(WaitUntil([&] { return IsDocked(program); }));
    }
}

// A dialog of the menu's that closes by itself hands the keyboard back only while it is still
// ours to give: a user who has moved on to another window keeps working there.
TEST(Keyboard, ADialogThatClosesByItselfLeavesTheKeyboardWhereTheUserIs) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartProgramWith(QuietSettings(), &run.program));
    ScopedForeignWindow before("Terminal");
    ScopedForeignWindow after("Editor");
    ASSERT_TRUE(BringToFront(before.window));
    ASSERT_TRUE(ChooseFromTrayMenuUntil(
        program, 'a', [&] { return FindDialog(program.processId, "About") != nullptr; }));
    const HWND about = FindDialog(program.processId, "About");
    ASSERT_TRUE(BringToFront(after.window));
    ASSERT_TRUE(WaitForGone(about, 15000));
    ASSERT_TRUE(Handled(program));
    EXPECT_FALSE(WaitUntil([&] { return GetForegroundWindow() != after.window; }, kSettleMs))
        << "in front: \"" << Caption(GetForegroundWindow()) << "\"";
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
