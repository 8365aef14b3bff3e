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

Settings Scanning() {
    Settings settings = QuietSettings();
    settings.Clipboard = 1;
    return settings;
}

// The user at work in a terminal, with the program started before it, docked or shown behind.
struct AtTheTerminal {
    ScopedProgram run;
    std::unique_ptr<ScopedForeignWindow> terminal; // goes before the program
};

void StartBehindTheTerminal(const Settings& settings, bool shown, AtTheTerminal* at) {
    ASSERT_TRUE(StartProgramWith(settings, &at->run.program));
    if (shown) {
        ASSERT_TRUE(ShowFromTray(at->run.program));
    }
    at->terminal = std::make_unique<ScopedForeignWindow>("Terminal");
    ASSERT_TRUE(BringToFront(at->terminal->window));
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
    // A prefix inside a word brings no more than a challenge does.
    {"a prefix inside a word", "see myskeyfile.txt now", false, Answer::AtTheIcon, "myskeyfile",
     "now", "otp-md4 myskeyfile now"},
};

TEST(Foreground, ARefusedChallengeWaitsDockedWithANoticeUntilTheUserAsks) {
    for (const RefusedCase& c : kRefused) {
        SCOPED_TRACE(c.what);
        AtTheTerminal at;
        ASSERT_NO_FATAL_FAILURE(StartBehindTheTerminal(Scanning(), c.openBehind, &at));
        const Program& program = at.run.program;
        ScopedActivationVeto veto;
        ASSERT_TRUE(veto.Installed());

        ASSERT_TRUE(PutClipboardText(c.copied));
        ASSERT_TRUE(WaitUntil([&] { return Field(program, IDC_SEED) == c.seed; }));
        std::string seen;
        EXPECT_TRUE(WaitForNotice(std::string(c.named) + kClickToAnswer, &seen)) << seen;
        EXPECT_TRUE(StaysDocked(program));
        EXPECT_EQ(c.count, Field(program, IDC_COUNT));
        EXPECT_EQ(1, VisibleNotices());
        EXPECT_FALSE(AltIsDown()) << "ALT was left pressed";

        // The user asks; the shell lets the icon's owner come forward.
        veto.Lift();
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
        ASSERT_NO_FATAL_FAILURE(StartBehindTheTerminal(Scanning(), openBehind, &at));
        const Program& program = at.run.program;

        ASSERT_TRUE(PutClipboardText("otp-md5 99 test\r\n"));
        EXPECT_TRUE(WaitUntil([&] { return InFrontWithKeyboardIn(program, IDC_PASSPHRASE); }));
        EXPECT_EQ("test", Field(program, IDC_SEED));
        EXPECT_TRUE(NoNoticeWithin());
        EXPECT_FALSE(AltIsDown()) << "ALT was left pressed";
    }
}

TEST(Foreground, ARefusedSecondStartLeavesTheDialogDockedAndSaysSo) {
    AtTheTerminal at;
    ASSERT_NO_FATAL_FAILURE(StartBehindTheTerminal(QuietSettings(), false, &at));
    const Program& program = at.run.program;
    ScopedActivationVeto veto;
    ASSERT_TRUE(veto.Installed());

    DWORD code = 1;
    ASSERT_TRUE(RunSecondStart(&code)) << "the second start kept running";
    EXPECT_EQ(0u, code);

    EXPECT_TRUE(NeverShownWithoutTheKeyboard(program, 2 * kSettleMs));
    EXPECT_TRUE(StaysDocked(program));
    const std::string text = WaitForNoticeText();
    EXPECT_NE(std::string::npos, text.find("already running")) << text;

    veto.Lift();
    PostMessageA(program.dialog, WM_TRAYNOTIFY, TRAY_ICON_UID, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(
        WaitUntil([&] { return IsShown(program) && GetForegroundWindow() == program.dialog; }));
}

// A hundred challenges copied within a second, each refused: one notice at a time, for the
// last of them, and nothing held on to.
TEST(Foreground, ABurstOfRefusedChallengesEndsWithTheLastAndOneNotice) {
    AtTheTerminal at;
    ASSERT_NO_FATAL_FAILURE(StartBehindTheTerminal(Scanning(), false, &at));
    const Program& program = at.run.program;
    ScopedActivationVeto veto;
    ASSERT_TRUE(veto.Installed());

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

} // namespace
