// The notices from the tray icon: at the first start only, and after a response when few are
// left for the seed. A notice never takes the focus, and never names a secret.
#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "tests/e2e/foreground.h"
#include "tests/e2e/program.h"
#include "tests/e2e/registry.h"

namespace {

const char kPassPhrase[] = "This is a test.";

TEST(Notice, TheFirstStartSaysWhereVantrethWaitsAndALaterStartSaysNothing) {
    KillRunningInstances();
    ASSERT_TRUE(DeleteSettingsKey());
    {
        ScopedProgram run;
        const Program& program = run.program;
        ASSERT_TRUE(LaunchProgram(&run.program));
        ASSERT_TRUE(WaitForMainDialog(&run.program));
        ASSERT_TRUE(WaitUntil([&] { return IsDocked(program); }));
        const HWND front = GetForegroundWindow();
        const std::string text = WaitForNoticeText();
        for (const char* said :
             {"Double-click the Vantreth icon", "copy a challenge", "Windows may keep"})
            EXPECT_NE(std::string::npos, text.find(said)) << said << " in " << text;
        EXPECT_TRUE(IsDocked(program));
        EXPECT_EQ(front, GetForegroundWindow()) << "the notice took the focus";

        // A click on it brings the dialog up as a double-click on the icon does.
        ClickNotice(program);
        EXPECT_TRUE(
            WaitUntil([&] { return IsShown(program) && GetForegroundWindow() == program.dialog; }));
        EXPECT_TRUE(WaitUntil([] { return FindNotice() == nullptr; })) << "the notice stayed";
    }
    ScopedProgram run;
    ASSERT_TRUE(StartProgram(&run.program));
    EXPECT_TRUE(NoNoticeWithin()) << WaitForNoticeText(0);
}

struct LeftCase {
    int radio;
    const char* count;
    const char* notice; // null: none
};

#define RENEWAL "\nA challenge that ends in \"ext\" can be renewed in the login with Renew..."

const LeftCase kLeft[] = {
    {IDC_MD5, "10", nullptr},
    {IDC_MD5, "9",
     "After count 9, seed test has 8 responses left. Time to re-initialise the one-time "
     "passwords on the server." RENEWAL},
    {IDC_SHA1, "2",
     "After count 2, seed test has 1 response left. Time to re-initialise the one-time passwords "
     "on the server." RENEWAL},
    {IDC_MD4, "1",
     "Count 1 was the last response for seed test. Time to re-initialise the one-time passwords "
     "on the server." RENEWAL},
};

TEST(Notice, FewerThanTenResponsesLeftAreWarnedOf) {
    for (const LeftCase& c : kLeft) {
        SCOPED_TRACE(testing::Message() << "count " << c.count);
        ScopedProgram run;
        const Program& program = run.program;
        ASSERT_TRUE(StartShown(&run.program));
        ASSERT_TRUE(EnterChallenge(program, c.radio, c.count, "test", kPassPhrase));
        const std::string words = PressOk(program).response;
        ASSERT_FALSE(words.empty());
        ASSERT_EQ(program.dialog, GetForegroundWindow());
        const HWND focus = FocusedWindow(program);
        if (c.notice == nullptr) {
            EXPECT_TRUE(NoNoticeWithin()) << WaitForNoticeText(0);
            continue;
        }
        std::string seen;
        EXPECT_TRUE(WaitForNotice(c.notice, &seen)) << seen;
        EXPECT_EQ(std::string::npos, seen.find(kPassPhrase));
        EXPECT_EQ(std::string::npos, seen.find(words));
        EXPECT_EQ(program.dialog, GetForegroundWindow()) << "the notice took the focus";
        EXPECT_EQ(focus, FocusedWindow(program));
    }
}

} // namespace
