// The login dialog as ssh's askpass: a challenge answered on standard output after the same
// checks and guards as the main dialog's Ok, and nothing without an answer.
#include <gtest/gtest.h>

#include <string>

#include "engine/otp.h"
#include "resources/resource.h"
#include "tests/e2e/login.h"
#include "tests/e2e/program.h"
#include "tests/e2e/registry.h"

namespace {

std::string Words(std::uint32_t count) {
    char words[kResponseSize] = {};
    ComputeOtp(HashKind::MD5, count, "test", "This is a test.", words);
    return words;
}

TEST(Login, AskpassAnswersAfterTheGuardsAndWritesNothingWithoutAnAnswer) {
    KillRunningInstances();
    ASSERT_TRUE(DeleteSequences() && WriteStoredSettings(QuietSettingsWith(&Settings::Guard)));
    AskpassRun run;
    DWORD exitCode = 0;
    ASSERT_TRUE(StartAskpass("otp-md5 99 test\nS/Key Password: ", &run));
    HWND login = WaitForLogin(run.processId, "otp-md5 99 test", kWaitMs);
    ASSERT_TRUE(login != nullptr && AnswerLogin(login, L"This is a test."));
    EXPECT_EQ(Words(99) + "\n", AskpassOutput(&run, &exitCode));
    EXPECT_EQ(0u, exitCode);

    // The next login, mistyped: the guard's box, No back to the dialog with the field emptied.
    ASSERT_TRUE(StartAskpass("(alice@bsd) otp-md5 98 test\nS/Key Password: ", &run));
    login = WaitForLogin(run.processId, "otp-md5 98 test", kWaitMs);
    ASSERT_TRUE(login != nullptr);
    EXPECT_EQ("alice@bsd", Text(GetDlgItem(login, IDC_LOGIN_WHO)));
    EXPECT_EQ("", Text(GetDlgItem(login, IDC_LOGIN_SERVER)));
    ASSERT_TRUE(AnswerLogin(login, L"This is a test!"));
    const HWND box = WaitForDialog(run.processId, "Warning");
    ASSERT_TRUE(box != nullptr);
    EXPECT_NE(std::string::npos, BoxText(box).find("Send the response to the server anyway?"));
    ASSERT_TRUE(CloseBox(box, IDNO));
    EXPECT_TRUE(WaitUntil([&] { return Text(GetDlgItem(login, IDC_LOGIN_ANSWER)).empty(); }));
    ASSERT_TRUE(AnswerLogin(login, L"This is a test."));
    EXPECT_EQ(Words(98) + "\n", AskpassOutput(&run, &exitCode));
    EXPECT_EQ(0u, exitCode);

    // A server's question, cancelled: nothing written, exit 1.
    ASSERT_TRUE(StartAskpass("(alice@bsd) Password: ", &run));
    login = WaitForLogin(run.processId, "Password: ", kWaitMs);
    ASSERT_TRUE(login != nullptr);
    EXPECT_EQ("The server asks this, not Vantreth.", Text(GetDlgItem(login, IDC_LOGIN_SERVER)));
    PostClick(GetDlgItem(login, IDCANCEL));
    EXPECT_EQ("", AskpassOutput(&run, &exitCode));
    EXPECT_EQ(1u, exitCode);
}

} // namespace
