// The stored settings: first start, reading back, and the two timers they steer.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/e2e/clipboard.h"
#include "tests/e2e/program.h"
#include "tests/e2e/registry.h"

namespace {

std::string ShownByOptions(const Program& program) {
    const HWND options = OpenOptionsWithButton(program);
    if (options == nullptr) return "<no Options dialog>";
    const std::string shown = DescribeOptions(options);
    CloseBox(options, IDCANCEL);
    return shown;
}

TEST(Settings, FirstStartWritesExactlyTheDefaultsAndASecondStartReadsThem) {
    KillRunningInstances();
    ASSERT_TRUE(DeleteSettingsKey());
    {
        ScopedProgram run;
        ASSERT_TRUE(StartProgram(&run.program));
        EXPECT_EQ(DescribeStored(DefaultSettings()), DescribeKey());
    }
    // Where a user of a 64-bit system finds it.
    if (UnderWow64()) {
        EXPECT_TRUE(KeyInNativeView("SOFTWARE\\WOW6432Node\\Quenby OTP"));
        EXPECT_FALSE(KeyInNativeView(kSettingsKey));
    }
    ScopedProgram run;
    ASSERT_TRUE(StartProgram(&run.program));
    EXPECT_EQ(DescribeOptionsFor(DefaultSettings()), ShownByOptions(run.program));
    EXPECT_EQ(DescribeStored(DefaultSettings()), DescribeKey()) << "a start that found the key";
}

TEST(Settings, AStoredDockTimeOfZeroIsTakenAsThirty) {
    ScopedProgram run;
    ASSERT_TRUE(StartProgramWith({}, &run.program));
    EXPECT_EQ(DescribeOptionsFor({0, 0, 0, 0, 30, 0, 0, 0, 0}), ShownByOptions(run.program));
}

TEST(Settings, WithTheDefaultsTheCountDropsByOneOnceAboutASecondAfterAResponse) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartShown(&run.program, DefaultSettings()));

    ASSERT_TRUE(EnterChallenge(program, IDC_MD5, "99", "test", "This is a test."));
    ASSERT_EQ("BAIL TUFT BITS GANG CHEF THY", PressOk(program).response);
    const DWORD answered = GetTickCount();
    EXPECT_EQ("99", Field(program, IDC_COUNT)) << "lowered at once";
    ASSERT_TRUE(WaitUntil([&] { return Field(program, IDC_COUNT) != "99"; }));
    EXPECT_GE(GetTickCount() - answered, 500u) << "the one-second delay was not kept";
    EXPECT_EQ("98", Field(program, IDC_COUNT));
    // The count lowered for the next login leaves the words to be copied.
    EXPECT_EQ("BAIL TUFT BITS GANG CHEF THY", Field(program, IDC_RESPONSE));
    EXPECT_TRUE(IsEnabled(Control(program, IDC_COPY)));
    // Twice the delay and more: a timer left running would have lowered it again.
    EXPECT_FALSE(WaitUntil([&] { return Field(program, IDC_COUNT) != "98"; }, 2500))
        << "lowered again to " << Field(program, IDC_COUNT);
}

// The decrement lowers the count it followed: a count that a new challenge, Clear All or the
// user put in the field since stays as it is.
TEST(Settings, TheDecrementLeavesACountThatReplacedTheOneAnswered) {
    const struct {
        const char* what;
        const char* count; // what the field holds afterwards
        void (*replace)(const Program&);
    } kReplacements[] = {
        {"a new challenge", "50",
         [](const Program&) { PutClipboardText("otp-md5 50 ke1234\r\n"); }},
        {"Clear All, then a count typed", "50",
         [](const Program& program) {
             Click(program, IDC_CLEARALL);
             SetField(program, IDC_COUNT, "50");
         }},
        {"an edit of the count", "42",
         [](const Program& program) { SetField(program, IDC_COUNT, "42"); }},
    };
    Settings settings = QuietSettingsWith(&Settings::AutoDecr, &Settings::DecrTime);
    settings.Clipboard = 1;
    settings.DecrTime = 2;
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartShown(&run.program, settings));
    for (const auto& replacement : kReplacements) {
        SCOPED_TRACE(replacement.what);
        ASSERT_TRUE(EnterChallenge(program, IDC_MD5, "99", "test", "This is a test."));
        ASSERT_EQ("BAIL TUFT BITS GANG CHEF THY", PressOk(program).response);
        replacement.replace(program);
        ASSERT_TRUE(WaitUntil([&] { return Field(program, IDC_COUNT) == replacement.count; }));
        // Past the two seconds: a decrement still due would have come.
        EXPECT_FALSE(
            WaitUntil([&] { return Field(program, IDC_COUNT) != replacement.count; }, 3000))
            << "lowered to " << Field(program, IDC_COUNT);
    }
}

// Docking by itself follows AutoDock, and clearing the pass phrase ClearPass; the count and
// the seed stay for the next show.
TEST(Settings, TheDialogDocksAfterDockTimeAndClearsOnlyThePassPhrase) {
    const struct {
        const char* what;
        std::uint8_t autoDock;
        std::uint8_t clearPass;
        const char* passAfter;
    } cases[] = {
        {"docks, clearing the pass phrase", 1, 1, ""},
        {"docks, keeping the pass phrase", 1, 0, "secret"},
        {"stays up without AutoDock", 0, 1, "secret"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedProgram run;
        const Program& program = run.program;
        // Clipboard, Return, ClearPass, AutoDock, DockTime, SNK, AutoDecr, DecrTime, Guard.
        ASSERT_TRUE(StartShown(&run.program, {1, 1, c.clearPass, c.autoDock, 2, 0, 1, 1, 0}));

        ASSERT_TRUE(SetField(program, IDC_COUNT, "5"));
        ASSERT_TRUE(SetField(program, IDC_SEED, "abc"));
        ASSERT_TRUE(SetField(program, IDC_PASSPHRASE, "secret"));
        const DWORD lastTyped = GetTickCount();
        if (c.autoDock != 0) {
            ASSERT_TRUE(WaitUntil([&] { return IsDocked(program); }));
            EXPECT_GE(GetTickCount() - lastTyped, 1500u) << "docked before DockTime had passed";
        } else {
            EXPECT_FALSE(WaitUntil([&] { return !IsShown(program); }, 5000)) << "docked";
        }
        EXPECT_EQ(c.passAfter, Field(program, IDC_PASSPHRASE));
        EXPECT_EQ("5", Field(program, IDC_COUNT));
        EXPECT_EQ("abc", Field(program, IDC_SEED));
    }
}

} // namespace
