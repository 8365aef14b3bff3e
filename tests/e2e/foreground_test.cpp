// Coming to the front: every time the program brings its dialog up by itself, it ends either
// in front with the keyboard or back in the tray with a notice, never on screen without the
// keyboard. Windows refuses the foreground to a program in the background while the user works
// in another; here a hook refuses the dialog's activation the same way.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "resources/resource.h"
#include "tests/e2e/clipboard.h"
#include "tests/e2e/figures.h"
#include "tests/e2e/foreground.h"
#include "tests/e2e/program.h"
#include "tests/e2e/registry.h"

namespace {

const char kClickToAnswer[] = ": click here or double-click the Vantreth icon to answer it.";
// A leak of one handle per challenge goes far beyond this.
constexpr long kHandleMargin = 20;

const Settings kScanning = QuietSettingsWith(&Settings::Clipboard);

// The user at work in a terminal, with the program started before it, docked or shown behind;
// Windows refusing the program the foreground, or granting it as Wine does; and every key event
// counted from then on.
enum class Windows { Refuses, Grants };

struct AtTheTerminal {
    ScopedProgram run;
    std::unique_ptr<ScopedForeignWindow> terminal; // goes before the program
    std::unique_ptr<ScopedActivationVeto> veto;
    std::unique_ptr<ScopedKeyWatch> keys;
};

void StartBehindTheTerminal(const Settings& settings, bool shown, Windows windows,
                            AtTheTerminal* at) {
    ASSERT_TRUE(StartProgramWith(settings, &at->run.program));
    if (shown) {
        ASSERT_TRUE(ShowFromTray(at->run.program));
    }
    at->terminal = std::make_unique<ScopedForeignWindow>("Terminal");
    ASSERT_TRUE(BringToFront(at->terminal->window));
    if (windows == Windows::Refuses) {
        at->veto = std::make_unique<ScopedActivationVeto>();
        ASSERT_TRUE(at->veto->Installed());
    }
    at->keys = std::make_unique<ScopedKeyWatch>();
    ASSERT_TRUE(at->keys->Installed());
}

// Never a dialog on screen without the keyboard, for as long as `ms`.
bool NeverShownWithoutTheKeyboard(const Program& program, DWORD ms) {
    return !WaitUntil([&] { return IsShown(program) && GetForegroundWindow() != program.dialog; },
                      ms);
}

enum class Answer { AtTheIcon, AtTheNotice };

struct RefusedCase {
    const char* what;
    const char* copied;
    bool openBehind; // the dialog was up, behind the terminal, when the challenge came
    Answer answer;
    const char* count;
    const char* seed;
    const char* named;
};

const RefusedCase kRefused[] = {
    {"docked, answered at the icon", "otp-sha1 42 seedy\r\n", false, Answer::AtTheIcon, "42",
     "seedy", "otp-sha1 42 seedy"},
    {"docked, answered at the notice", "otp-md5 99 test\r\n", false, Answer::AtTheNotice, "99",
     "test", "otp-md5 99 test"},
    {"open behind the terminal", "otp-sha1 42 seedy\r\n", true, Answer::AtTheIcon, "42", "seedy",
     "otp-sha1 42 seedy"},
    // The line a server prints around its challenge is no part of it.
    {"copied with the server's line", "331 otp-md4 97 MyHost1 ext required for alice.\r\n", false,
     Answer::AtTheIcon, "97", "MyHost1", "otp-md4 97 MyHost1"},
};

TEST(Foreground, ARefusedChallengeWaitsDockedWithANoticeUntilTheUserAsks) {
    for (const RefusedCase& c : kRefused) {
        SCOPED_TRACE(c.what);
        AtTheTerminal at;
        ASSERT_NO_FATAL_FAILURE(
            StartBehindTheTerminal(kScanning, c.openBehind, Windows::Refuses, &at));
        const Program& program = at.run.program;

        ASSERT_TRUE(PutClipboardText(c.copied));
        ASSERT_TRUE(WaitUntil([&] { return Field(program, IDC_SEED) == c.seed; }));
        std::string seen;
        EXPECT_TRUE(WaitForNotice(std::string(c.named) + kClickToAnswer, &seen)) << seen;
        EXPECT_TRUE(StaysDocked(program));
        EXPECT_EQ(c.count, Field(program, IDC_COUNT));
        EXPECT_EQ(1, VisibleNotices());
        EXPECT_EQ(0, at.keys->Keys()) << "a key was pressed for the user";

        // The user asks; the shell lets the icon's owner come forward.
        at.veto->Lift();
        if (c.answer == Answer::AtTheIcon)
            PostMessageA(program.dialog, WM_TRAYNOTIFY, TRAY_ICON_UID, WM_LBUTTONDBLCLK);
        else
            ClickNotice(program);
        EXPECT_TRUE(WaitUntil([&] { return InFrontWithKeyboardIn(program, IDC_PASSPHRASE); }))
            << "shown " << IsShown(program) << ", in front "
            << (GetForegroundWindow() == program.dialog);
        EXPECT_TRUE(WaitUntil([] { return FindNotice() == nullptr; })) << "the notice stayed";
    }
}

// Wine's default: a program may always come forward. The dialog does, ready for the pass
// phrase, and says nothing from the tray.
TEST(Foreground, AGrantedChallengeComesToTheFrontReadyForThePassPhrase) {
    for (bool openBehind : {false, true}) {
        SCOPED_TRACE(openBehind ? "open behind the terminal" : "docked");
        AtTheTerminal at;
        ASSERT_NO_FATAL_FAILURE(
            StartBehindTheTerminal(kScanning, openBehind, Windows::Grants, &at));
        const Program& program = at.run.program;

        ASSERT_TRUE(PutClipboardText("otp-md5 99 test\r\n"));
        EXPECT_TRUE(WaitUntil([&] { return InFrontWithKeyboardIn(program, IDC_PASSPHRASE); }));
        EXPECT_EQ("test", Field(program, IDC_SEED));
        EXPECT_TRUE(NoNoticeWithin());
        EXPECT_EQ(0, at.keys->Keys()) << "a key was pressed for the user";
        // The watch does see keys: a harmless one, pressed now, counts.
        PressKeysAtTheKeyboard({VK_F24});
        EXPECT_TRUE(WaitUntil([&] { return at.keys->Keys() > 0; })) << "the watch sees no keys";
    }
}

TEST(Foreground, ARefusedSecondStartLeavesTheDialogDockedAndSaysSo) {
    AtTheTerminal at;
    ASSERT_NO_FATAL_FAILURE(StartBehindTheTerminal(QuietSettings(), false, Windows::Refuses, &at));
    const Program& program = at.run.program;

    DWORD code = 1;
    ASSERT_TRUE(RunSecondStart(&code)) << "the second start kept running";
    EXPECT_EQ(0u, code);

    EXPECT_TRUE(NeverShownWithoutTheKeyboard(program, 2 * kSettleMs));
    EXPECT_TRUE(StaysDocked(program));
    const std::string text = WaitForNoticeText();
    EXPECT_NE(std::string::npos, text.find("already running")) << text;

    at.veto->Lift();
    PostMessageA(program.dialog, WM_TRAYNOTIFY, TRAY_ICON_UID, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(
        WaitUntil([&] { return IsShown(program) && GetForegroundWindow() == program.dialog; }));
}

// A hundred challenges copied within a second, each refused: one notice at a time, for the
// last of them, and nothing held on to.
TEST(Foreground, ABurstOfRefusedChallengesEndsWithTheLastAndOneNotice) {
    AtTheTerminal at;
    ASSERT_NO_FATAL_FAILURE(StartBehindTheTerminal(kScanning, false, Windows::Refuses, &at));
    const Program& program = at.run.program;

    // One round first, so that what is made once and kept counts as before.
    ASSERT_TRUE(PutClipboardText("otp-md5 5 first"));
    std::string seen;
    ASSERT_TRUE(WaitForNotice(std::string("otp-md5 5 first") + kClickToAnswer, &seen)) << seen;
    Figures before;
    ASSERT_TRUE(ReadFigures(program, &before));

    int most = 0;
    const DWORD start = GetTickCount();
    char text[64];
    for (int i = 0; i < 100; ++i) {
        std::snprintf(text, sizeof text, "otp-md5 %d burst%d\r\n", 100 + i, i);
        ASSERT_TRUE(PutClipboardText(text)) << i;
        most = std::max(most, VisibleNotices());
    }
    std::printf("foreground: 100 challenges copied in %.2f s\n", (GetTickCount() - start) / 1000.0);
    ASSERT_TRUE(WaitUntil([&] { return Field(program, IDC_SEED) == "burst99"; }));
    EXPECT_EQ("199", Field(program, IDC_COUNT));
    const bool named = WaitUntil([&] {
        most = std::max(most, VisibleNotices());
        const HWND notice = FindNotice();
        seen = notice == nullptr ? "<no notice>" : NoticeText(notice);
        return seen == std::string("otp-md5 199 burst99") + kClickToAnswer;
    });
    EXPECT_TRUE(named) << seen;
    EXPECT_LE(most, 1) << "notices at once";
    ASSERT_TRUE(StillRunning(program));
    EXPECT_TRUE(Handled(program)) << "the program does not answer";
    EXPECT_TRUE(StaysDocked(program));

    Figures after;
    ASSERT_TRUE(ReadFigures(program, &after));
    PrintFigures("foreground: burst", "before", before);
    PrintFigures("foreground: burst", "after", after);
    EXPECT_LE(after.handles, before.handles + kHandleMargin);
    EXPECT_EQ(before.windows, after.windows);
}

// A box or dialog of ours that waits for an answer is never buried: a show that comes meanwhile
// brings it forward, the dialog under it takes no input, and a copied challenge is filled in
// and waits until the box is answered. Then the dialog comes up ready for it.
enum class Busy { InputError, OptionsShown, OptionsDocked };
enum class Show { Challenge, SecondStart, AtTheIcon };

struct BusyCase {
    const char* what;
    Busy busy;
    Show show;
};

const BusyCase kBusy[] = {
    {"a challenge over an input error", Busy::InputError, Show::Challenge},
    {"a second start over an input error", Busy::InputError, Show::SecondStart},
    {"a challenge over Options", Busy::OptionsShown, Show::Challenge},
    {"a challenge over Options opened from the tray", Busy::OptionsDocked, Show::Challenge},
    {"a double-click over Options opened from the tray", Busy::OptionsDocked, Show::AtTheIcon},
};

// The box or dialog that waits for an answer, with the dialog under it; null when it did not come.
HWND MakeBusy(const Program& program, Busy busy) {
    switch (busy) {
    case Busy::InputError:
        if (!ShowFromTray(program)) return nullptr;
        return PressForBox(program.dialog, IDC_COMPUTE, program.processId, "Input Error");
    case Busy::OptionsShown: return OpenOptionsWithButton(program);
    case Busy::OptionsDocked: return OpenOptionsFromTray(program);
    }
    return nullptr;
}

void AskForShow(const Program& program, Show show) {
    DWORD code = 1;
    switch (show) {
    case Show::Challenge: PutClipboardText("otp-sha1 42 seedy\r\n"); break;
    case Show::SecondStart: RunSecondStart(&code); break;
    case Show::AtTheIcon: NotifyIcon(program, WM_LBUTTONDBLCLK); break;
    }
}

TEST(Foreground, AShowWhileABoxWaitsBringsTheBoxForwardAndFollowsTheAnswer) {
    for (const BusyCase& c : kBusy) {
        SCOPED_TRACE(c.what);
        ScopedProgram run;
        const Program& program = run.program;
        ASSERT_TRUE(StartProgramWith(kScanning, &run.program));
        const HWND busy = MakeBusy(program, c.busy);
        ASSERT_NE(nullptr, busy);
        const bool wasShown = IsShown(program);
        ScopedForeignWindow terminal("Terminal");
        ASSERT_TRUE(BringToFront(terminal.window));

        AskForShow(program, c.show);
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == busy; }))
            << "in front: \"" << Caption(GetForegroundWindow()) << "\"";
        if (c.show == Show::Challenge) {
            EXPECT_TRUE(WaitUntil([&] { return Field(program, IDC_SEED) == "seedy"; }));
        }
        EXPECT_FALSE(WaitUntil([&] { return IsShown(program) != wasShown; }, kSettleMs))
            << "the dialog came up over the box";
        if (wasShown) {
            EXPECT_FALSE(IsEnabled(program.dialog)) << "the dialog under the box takes input";
        }
        EXPECT_EQ(1, CountDialogs(program.processId, Caption(busy).c_str()));

        ASSERT_TRUE(CloseBox(busy, c.busy == Busy::InputError ? IDOK : IDCANCEL));
        const int focus = c.show == Show::Challenge ? IDC_PASSPHRASE : 0;
        EXPECT_TRUE(WaitUntil([&] {
            return IsShown(program) && GetForegroundWindow() == program.dialog &&
                   (focus == 0 || FocusedWindow(program) == Control(program, focus));
        })) << "the show did not follow the answer";
        EXPECT_EQ(c.show == Show::Challenge ? "42" : "", Field(program, IDC_COUNT));
    }
}

} // namespace
