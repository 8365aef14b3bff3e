#include "shell/logic/putty_plugin.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "shell/logic/messages.h"

namespace {

// Messages as the PuTTY manual's appendix lays them out.
std::string U32(std::uint32_t v) {
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}
std::string S(const std::string& s) {
    return U32(std::uint32_t(s.size())) + s;
}
std::string M(int type, const std::string& fields = "") {
    return U32(std::uint32_t(fields.size() + 1)) + char(type) + fields;
}
const std::string kOff(1, '\0');
std::string Request(const std::string& prompt, const std::string& why = "", int type = 20,
                    char echo = 0) {
    return M(type, S("") + S(why) + S("") + U32(1) + S(prompt) + echo);
}
std::string Answer(const std::string& answer, int type = 23) {
    return M(type, U32(1) + S(answer));
}
template <typename... Values> std::string Text(const char* pattern, Values... values) {
    char text[400];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

const std::string kInit = M(1, U32(2) + S("localhost") + U32(22) + S("alice"));
const std::string kKi = M(3, S("keyboard-interactive"));
std::string Ask99(const std::string& why) {
    return Request("Pass phrase for otp-md5 99 TeSt:", why, 22);
}
const std::string kAsk99 = Ask99("");
const std::string kRefused =
    M(22, S("") + S(Text(PluginPromptText(PluginPrompt::NotAnswered), "otp-md5", "99", "TeSt")) +
              S("") + U32(0));
// RFC 2289's MD5 words for "This is a test." and TeSt at count 99; the sequence as remembered
// at counts 100 and 120 (the first 16 bits of the value there, from Python's hashlib).
const std::string kWords99 = Answer("BAIL TUFT BITS GANG CHEF THY", 21);
const PluginMemory kAt100{true, true, {100, 0xccb7, 1}};
const PluginMemory kAt120{true, true, {120, 0x4595, 1}};
std::string Guard(GuardReason reason, const PluginMemory& memory) {
    char text[400];
    DescribeGuard(reason, DecideGuard(true, &memory.record, 99, nullptr), HashKind::MD5, "TeSt", 99,
                  text, sizeof text);
    return text;
}

bool Reads(const std::string& bytes) {
    PluginMessage m;
    return ReadPluginMessage(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), m);
}

TEST(ReadPluginMessage, TakesPuttysMessagesAndRefusesEveryMalformedOne) {
    const std::string full(kPluginMessageLimit - 5, 'x'), none = S("") + S("") + S("");
    for (const std::string& bytes : {kInit, kKi, M(6), M(7), M(23, U32(0)), M(3, S(full)),
                                     M(20, none + U32(2) + S("a") + kOff + S("b") + '\1')})
        EXPECT_TRUE(Reads(bytes)) << testing::PrintToString(bytes);
    // Over the 1 MiB limit, short, truncated, a string or an item past the message's end or
    // missing, a byte after the last field, a type PuTTY does not send.
    for (const std::string& bytes :
         {M(3, S(full + "x")), std::string(), std::string(3, '\0'), U32(0),
          U32(9) + char(3) + S("x"), kKi.substr(0, kKi.size() - 1),
          M(3, U32(21) + "keyboard-interactive"), M(3, U32(0xFFFFFFFF)),
          M(20, none + U32(2) + S("a") + kOff), M(20, none + U32(0xFFFFFFFF)),
          M(20, none + U32(1) + S("a")), M(23, U32(2) + S("a")), M(6, "x"),
          M(1, U32(2) + S("h") + U32(22)), M(22, none + U32(0)), M(99)})
        EXPECT_FALSE(Reads(bytes)) << testing::PrintToString(bytes);
}

struct Step {
    std::string in;
    std::string out; // the reply; empty when none
    PluginNext next;
    PluginMemory memory = {true, false, {}};
};
const PluginNext kSend = PluginNext::Send, kAnswer = PluginNext::Answer, kEnd = PluginNext::End;

// Runs the steps through one session as the program does, after PuTTY's opening when `open`.
PluginSession Converse(std::vector<Step> steps, bool open = true) {
    if (open)
        steps.insert(steps.begin(), {{kInit, M(2, U32(2) + S("")), kSend}, {kKi, M(4), kSend}});
    PluginSession session{};
    for (std::size_t i = 0; i < steps.size(); ++i) {
        std::vector<std::uint8_t> bytes(steps[i].in.begin(), steps[i].in.end());
        bytes.push_back(0xA5); // the byte the session may use, and must give back
        std::uint8_t buffer[kPluginReplySize];
        PluginReply reply;
        PluginNext next = PluginReceive(session, bytes.data(), steps[i].in.size(), buffer, reply);
        if (next == PluginNext::Check)
            next = PluginGuardReply(session, steps[i].memory, buffer, reply);
        const std::string out(reinterpret_cast<const char*>(reply.bytes),
                              next == kEnd ? 0 : reply.size);
        EXPECT_EQ(next, steps[i].next) << "step " << i;
        EXPECT_EQ(out, steps[i].out) << "step " << i;
        EXPECT_EQ(bytes.back(), 0xA5) << "step " << i;
    }
    return session;
}

TEST(PluginSession, AnswersTheChallengeAndStartsOverAfterARefusedLogin) {
    const PluginSession s = Converse({
        {Request("otp-md5 99 TeSt\nS/Key Password:"), kAsk99, kSend},
        {Answer("This is a test."), kWords99, kAnswer},
        {M(7), "", PluginNext::Wait},
        {kKi, M(4), kSend},
        {M(20, S("") + S("otp-sha1 1 TeSt ext") + S("") + U32(1) + S("Response: ") + '\1'),
         Request("Pass phrase for otp-sha1 1 TeSt:", "", 22), kSend},
        {Answer("This is a test."), Answer("CART OTTO HIVE ODE VAT NUT", 21), kAnswer},
        {M(6), "", PluginNext::Wait},
    });
    EXPECT_EQ(std::string(s.response), ""); // wiped by the next message
    EXPECT_EQ(s.check, 0x63D9);             // for the memory: SHA1's value at count 1
}

TEST(PluginSession, SpeaksTheVersionsPuttyOffersUpToItsOwnAndOnlyKeyboardInteractive) {
    Converse({{M(1, U32(1) + S("h") + U32(22) + S("")), M(2, U32(1) + S("")), kSend},
              {M(3, S("password")), M(5), kSend}},
             false);
    Converse({{M(1, U32(3) + S("h") + U32(22) + S("")), M(2, U32(2) + S("")), kSend},
              {M(3, S("publickey")), M(5, S("")), kSend}},
             false);
    Converse({{M(1, U32(0) + S("h") + U32(22) + S("")), "", kEnd}}, false);
}

TEST(PluginSession, PassesOnWhatItCannotAnswerUnchanged) {
    for (const std::string& request :
         {Request("Password: "), Request("otp-md5 0 TeSt"),
          Request("otp-md5 99 seventeencharacter"),
          M(20, S("") + S("otp-md5 99 TeSt") + S("") + U32(2) + S("a") + kOff + S("b") + kOff)}) {
        std::string asked = request;
        asked[4] = char(22);
        Converse(
            {{request, asked, kSend}, {Answer("pass\r\n\x1a"), Answer("pass\r\n\x1a", 21), kSend}});
    }
}

TEST(PluginSession, AsksAgainWithTheReasonThenLeavesTheChallengeUnanswered) {
    const MessageEntry& tooLong = MessageFor(Message::PassPhraseTooLong);
    Converse({
        {Request("otp-md5 99 TeSt"), kAsk99, kSend},
        {Answer(std::string(64, 'p')), Ask99(Text(tooLong.text, tooLong.limit)), kSend},
        {Answer(std::string("This is a test.\0x", 17)),
         Ask99(MessageFor(Message::NoPassPhrase).text), kSend},
        {Answer("This is a tset."), Ask99(Guard(GuardReason::Mistyped, kAt100)), kSend, kAt100},
        {Answer("This is a tset."), kRefused, kSend, kAt100},
        {M(23, U32(0)), Answer("", 21), kSend},
    });
}

TEST(PluginSession, AnswersALowCountOnlyAfterYesAndWithTheGuardOffAsksNothing) {
    const std::string question =
        Text(PluginPromptText(PluginPrompt::Confirm), Guard(GuardReason::LowCount, kAt120).c_str());
    for (const char* answer : {"YES", "no"})
        Converse({{Request("otp-md5 99 TeSt"), kAsk99, kSend},
                  {Answer("This is a test."), Request(question, "", 22, 1), kSend, kAt120},
                  {Answer(answer), answer[0] == 'Y' ? kWords99 : kRefused,
                   answer[0] == 'Y' ? kAnswer : kSend}});
    // The words of the wrong pass phrase: an independent encoder of its value.
    Converse({{Request("otp-md5 99 TeSt"), kAsk99, kSend},
              {Answer("This is a tset."),
               Answer("NOB BAM PAM ARCH COMB DAM", 21),
               kAnswer,
               {false, true, kAt120.record}}});
}

TEST(PluginSession, EndsOnAMessageOutOfTurn) {
    Converse({{kKi, "", kEnd}}, false);
    Converse({{kInit, "", kEnd}});
    Converse({{M(6), "", PluginNext::Wait}, {M(6), "", kEnd}});
    Converse(
        {{Request("otp-md5 99 TeSt"), kAsk99, kSend}, {M(23, U32(2) + S("a") + S("b")), "", kEnd}});
}

TEST(IsPuttyPluginSwitch, OnlyTheSwitchItself) {
    EXPECT_TRUE(IsPuttyPluginSwitch(" --putty-plugin\t"));
    for (const char* other : {"", "--putty-plugins", "x --putty-plugin", "--putty-plugin x"})
        EXPECT_FALSE(IsPuttyPluginSwitch(other)) << other;
}

} // namespace
