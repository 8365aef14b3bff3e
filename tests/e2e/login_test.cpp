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

// The program started as ssh's askpass with `prompt`, and its login dialog once it asks
// `question`; null when none came.
HWND Ask(const char* prompt, const char* question, AskpassRun* run) {
    return StartAskpass(prompt, run) ? WaitForLogin(run->processId, question, kWaitMs) : nullptr;
}

// What it wrote once it ended, then its exit code: "... THY\n 0".
std::string Ended(AskpassRun* run) {
    DWORD exitCode = 0;
    const std::string written = AskpassOutput(run, &exitCode);
    return written + " " + std::to_string(exitCode);
}

TEST(Login, AskpassAnswersAfterTheGuardsAndWritesNothingWithoutAnAnswer) {
    KillRunningInstances();
    ASSERT_TRUE(DeleteSequences() && WriteStoredSettings(QuietSettingsWith(&Settings::Guard)));
    AskpassRun run;
    HWND login = Ask("otp-md5 99 test\nS/Key Password: ", "otp-md5 99 test", &run);
    ASSERT_TRUE(login != nullptr && AnswerLogin(login, L"This is a test."));
    EXPECT_EQ(Words(99) + "\n 0", Ended(&run));

    // The next login, mistyped: the guard's box, No back to the dialog with the field emptied.
    login = Ask("(alice@bsd) otp-md5 98 test\nS/Key Password: ", "otp-md5 98 test", &run);
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
    EXPECT_EQ(Words(98) + "\n 0", Ended(&run));

    // A server's question, cancelled: nothing written, exit 1.
    login = Ask("(alice@bsd) Password: ", "Password: ", &run);
    ASSERT_TRUE(login != nullptr);
    EXPECT_EQ("The server asks this, not Vantreth.", Text(GetDlgItem(login, IDC_LOGIN_SERVER)));
    PostClick(GetDlgItem(login, IDCANCEL));
    EXPECT_EQ(" 1", Ended(&run));
}

} // namespace
