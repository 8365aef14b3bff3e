#include "shell/logic/login_prompt.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What askpass makes of the prompts ssh hands it: OpenBSD's and FreeBSD's, ssh's own questions,
// and look-alikes of a challenge, which are the server's questions like any other.
TEST(PlanAskpass, TellsChallengesFromTheServersOwnQuestions) {
    const AskpassAction kChallenge = AskpassAction::Challenge, kQuestion = AskpassAction::Question;
    const struct {
        const char* prompt;
        const char* kind; // SSH_ASKPASS_PROMPT
        AskpassAction action;
        const char* who;
        const char* seed; // the challenge's, or the question's start
        bool echo;
    } rows[] = {
        {"(alice@bsd) otp-md5 99 obsd91335\nS/Key Password: ", nullptr, kChallenge, "alice@bsd",
         "obsd91335", false},
        {"otp-md5 499 fr1234 ext\nPassword: ", nullptr, kChallenge, "", "fr1234", false},
        {"(bob@fbsd) otp-md5 499 fr1234 ext\nPassword [echo on]: ", "", kChallenge, "bob@fbsd",
         "fr1234", false},
        {"(a@h) Password: ", nullptr, kQuestion, "a@h", "Password: ", false},
        {"Enter passphrase for key '/home/a/.ssh/id_ed25519': ", nullptr, kQuestion, "",
         "Enter passphrase", false},
        {"ED25519 key fingerprint is SHA256:x.\nAre you sure you want to continue connecting "
         "(yes/no/[fingerprint])? ",
         nullptr, kQuestion, "", "ED25519 key", true},
        {"Continue (yes/no)? ", nullptr, kQuestion, "", "Continue", true},
        {"Type yes (yes/no)", nullptr, kQuestion, "", "Type yes", false},
        {"(a\n@h) Password: ", nullptr, kQuestion, "", "(a\n@h)", false},
        {"(no one) otp-md5 99 obsd91335", nullptr, kChallenge, "", "obsd91335", false},
        // Look-alikes: a BEL, capitals, a no-break space, a 17-character seed, a count of 0.
        {"(a@h) Pass phrase for otp-md5 \x07"
         "99 obsd91335:",
         nullptr, kQuestion, "a@h", "Pass phrase", false},
        {"OTP-MD5 99 obsd91335", nullptr, kQuestion, "", "OTP-MD5", false},
        {"otp-md5\xc2\xa0"
         "99 obsd91335",
         nullptr, kQuestion, "", "otp-md5", false},
        {"otp-md5 99 obsd9133512345678", nullptr, kQuestion, "", "otp-md5", false},
        {"otp-md5 0 obsd91335", nullptr, kQuestion, "", "otp-md5", false},
        // ssh's own: a key's confirmation, a touch of a security key.
        {"Allow use of key id_ed25519?", "confirm", AskpassAction::Confirm, "", "Allow", false},
        {"Confirm user presence for key ED25519-SK", "none", AskpassAction::Show, "", "Confirm",
         false},
    };
    for (const auto& row : rows) {
        const AskpassPlan plan = PlanAskpass(row.prompt, row.kind);
        EXPECT_EQ(row.action, plan.action) << row.prompt;
        EXPECT_EQ(row.who, std::string(plan.parts.who, plan.parts.whoLength)) << row.prompt;
        EXPECT_EQ(row.echo, plan.echo) << row.prompt;
        const std::string seen =
            plan.challenge.found ? plan.challenge.slots.seed : std::string(plan.parts.question);
        EXPECT_EQ(0u, seen.find(row.seed)) << row.prompt << " gave " << seen;
    }
}

TEST(IsAskpassStart, OneArgumentNoSwitchAndOutputTaken) {
    const struct {
        int arguments;
        const wchar_t* first;
        bool outputTaken;
        bool askpass;
    } rows[] = {
        {1, L"(a@h) Password: ", true, true},
        {1, L"(a@h) Password: ", false, false},
        {0, nullptr, true, false},
        {2, L"a", true, false},
        {1, L"--putty-plugin", true, false},
        {1, L"--putty-plugins", true, true},
        {1, L"--putty-plugi", true, true},
        {1, L"", true, true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.askpass, IsAskpassStart(row.arguments, row.first, row.outputTaken))
            << row.arguments << " " << (row.first != nullptr ? row.first : L"");
}

} // namespace
