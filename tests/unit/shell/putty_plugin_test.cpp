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
const std::string kNone = S("") + S("") + S(""), kOff(1, '\0');
std::string Request(const std::string& prompt, const std::string& why = "", int type = 20,
                    char echo = 0) {
    return M(type, S("") + S(why) + S("") + U32(1) + S(prompt) + echo);
}
std::string Answer(const std::string& answer, int type = 23) {
    return M(type, U32(1) + S(answer));
}
std::string Text(const char* pattern, const char* a, const char* b = "", const char* c = "") {
    char text[400];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}
// RFC 2289's MD5 words of "This is a test." and TeSt at count 99; the sequence remembered at
// counts 100 and 120, with the first 16 bits of the value there (Python's hashlib).
const PluginMemory kAt100{true, true, {100, 0xccb7, 0}}, kAt120{true, true, {120, 0x4595, 0}};
std::string Guard(GuardReason reason, const PluginMemory& memory) {
    char text[400];
    DescribeGuard(reason, DecideGuard(true, &memory.record, 99, nullptr), HashKind::MD5, "TeSt", 99,
                  text, sizeof text);
    return text;
}
const std::string kInit = M(1, U32(2) + S("localhost") + U32(22) + S("alice")),
                  kKi = M(3, S("keyboard-interactive")), kTest = Answer("This is a test."),
                  kTset = Answer("This is a tset."), kMd5At99 = Request("otp-md5 99 TeSt"),
                  kWords99 = Answer("BAIL TUFT BITS GANG CHEF THY", 21),
                  kRefused = M(22, S("") +
                                       S(Text(PluginPromptText(PluginPrompt::NotAnswered),
                                              "otp-md5", "99", "TeSt")) +
                                       S("") + U32(0));
std::string Ask99(const std::string& why = "") {
    return Request("Pass phrase for otp-md5 99 TeSt:", why, 22);
}

bool Reads(const std::string& bytes) {
    PluginMessage m;
    return ReadPluginMessage(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), m);
}

TEST(ReadPluginMessage, TakesPuttysMessagesAndRefusesEveryMalformedOne) {
    const std::string full(kPluginMessageLimit - 5, 'x');
    for (const std::string& bytes : {kInit, kKi, M(6), M(7), M(23, U32(0)), M(3, S(full)),
                                     M(20, kNone + U32(2) + S("a") + kOff + S("b") + '\1')})
        EXPECT_TRUE(Reads(bytes)) << testing::PrintToString(bytes);
    // Over the 1 MiB limit, short, truncated, a string or an item past the message's end or
    // missing, a byte after the last field, a type PuTTY does not send.
    for (const std::string& bytes :
         {M(3, S(full + "x")), std::string(), std::string(3, '\0'), U32(0),
          U32(9) + char(3) + S("x"), kKi.substr(0, kKi.size() - 1),
          M(3, U32(21) + "keyboard-interactive"), M(1, U32(2) + U32(0xFFFFFFFF) + "h"),
          M(20, kNone + U32(2) + S("a") + kOff), M(20, kNone + U32(0xFFFFFFFF)),
          M(20, kNone + U32(1) + S("a")), M(23, U32(2) + S("a")), M(6, "x"),
          M(1, U32(2) + S("h") + U32(22)), M(22, kNone + U32(0)), M(99)})
        EXPECT_FALSE(Reads(bytes)) << testing::PrintToString(bytes);
}

// One message from PuTTY and the session's reply ("" for none, or when it ends).
struct Step {
    std::string in;
    std::string out;
    PluginNext next = PluginNext::Send;
    PluginMemory memory = {true, false, {}};
};
const PluginNext kWait = PluginNext::Wait, kAnswer = PluginNext::Answer, kEnd = PluginNext::End;
const Step kOpening[] = {{kInit, M(2, U32(2) + S(""))}, {kKi, M(4)}};

TEST(PluginSession, AnswersAsPuttyExpects) {
    const MessageEntry& tooLong = MessageFor(Message::PassPhraseTooLong);
    char tooLongText[200];
    std::snprintf(tooLongText, sizeof tooLongText, tooLong.text, tooLong.limit);
    const std::string lowCount =
        Text(PluginPromptText(PluginPrompt::Confirm), Guard(GuardReason::LowCount, kAt120).c_str());
    const std::vector<std::vector<Step>> conversations = {
        // The challenge in a prompt, then in the instruction after a refused login.
        {kOpening[0],
         kOpening[1],
         {Request("otp-md5 99 TeSt\nS/Key Password:"), Ask99()},
         {kTest, kWords99, kAnswer},
         {M(7), "", kWait},
         kOpening[1],
         {M(20, S("") + S("otp-sha1 1 TeSt ext") + S("") + U32(1) + S("Response: ") + '\1'),
          Request("Pass phrase for otp-sha1 1 TeSt:", "", 22)},
         {kTest, Answer("CART OTTO HIVE ODE VAT NUT", 21), kAnswer},
         {M(6), "", kWait}},
        // The versions PuTTY offers up to 2, and only keyboard-interactive.
        {{M(1, U32(1) + S("h") + U32(22) + S("")), M(2, U32(1) + S(""))},
         {M(3, S("password")), M(5)}},
        {{M(1, U32(3) + S("h") + U32(22) + S("")), M(2, U32(2) + S(""))},
         {M(3, S("publickey")), M(5, S(""))}},
        {{M(1, U32(0) + S("h") + U32(22) + S("")), "", kEnd}},
        // What it cannot answer goes to the user and back unchanged, a length of 10 and CR LF
        // and 0x1A among it.
        {kOpening[0],
         kOpening[1],
         {Request("Password: "), Request("Password: ", "", 22)},
         {Answer("pass\r\n\x1a"), Answer("pass\r\n\x1a", 21)}},
        {kOpening[0],
         kOpening[1],
         {M(20, S("otp-md5 99 TeSt") + S("") + S("") + U32(2) + S("a") + kOff + S("b") + kOff),
          M(22, S("otp-md5 99 TeSt") + S("") + S("") + U32(2) + S("a") + kOff + S("b") + kOff)}},
        {kOpening[0], kOpening[1], {Request("otp-md5 0 TeSt"), Request("otp-md5 0 TeSt", "", 22)}},
        // Asked again with the reason three times, then left unanswered.
        {kOpening[0],
         kOpening[1],
         {kMd5At99, Ask99()},
         {Answer(std::string(64, 'p')), Ask99(tooLongText)},
         {Answer(std::string("This is a test.\0x", 17)),
          Ask99(MessageFor(Message::NoPassPhrase).text)},
         {kTset, Ask99(Guard(GuardReason::Mistyped, kAt100)), PluginNext::Send, kAt100},
         {kTset, kRefused, PluginNext::Send, kAt100},
         {M(23, U32(0)), Answer("", 21)}},
        // A low count answered after yes only; with the guard off, nothing asked (the words of
        // the wrong pass phrase from an independent encoder).
        {kOpening[0],
         kOpening[1],
         {kMd5At99, Ask99()},
         {kTest, Request(lowCount, "", 22, 1), PluginNext::Send, kAt120},
         {Answer("YES"), kWords99, kAnswer}},
        {kOpening[0],
         kOpening[1],
         {kMd5At99, Ask99()},
         {kTest, Request(lowCount, "", 22, 1), PluginNext::Send, kAt120},
         {Answer("no"), kRefused}},
        {kOpening[0],
         kOpening[1],
         {kMd5At99, Ask99()},
         {kTset, Answer("NOB BAM PAM ARCH COMB DAM", 21), kAnswer, {false, true, kAt120.record}}},
        // Messages out of turn.
        {{kKi, "", kEnd}},
        {kOpening[0], {kInit, "", kEnd}},
        {kOpening[0], kOpening[1], {M(6), "", kWait}, {M(6), "", kEnd}},
        {kOpening[0],
         kOpening[1],
         {kMd5At99, Ask99()},
         {M(23, U32(2) + S("a") + S("b")), "", kEnd}},
    };
    for (std::size_t c = 0; c < conversations.size(); ++c) {
        PluginSession session{};
        for (std::size_t i = 0; i < conversations[c].size(); ++i) {
            const Step& step = conversations[c][i];
            std::vector<std::uint8_t> bytes(step.in.begin(), step.in.end());
            bytes.push_back(0xA5); // the byte the session may use, and must give back
            std::uint8_t buffer[kPluginReplySize];
            PluginReply reply;
            PluginNext next = PluginReceive(session, bytes.data(), step.in.size(), buffer, reply);
            if (next == PluginNext::Check)
                next = PluginGuardReply(session, step.memory, buffer, reply);
            const auto* out = reinterpret_cast<const char*>(reply.bytes);
            EXPECT_EQ(next, step.next) << c << ":" << i;
            EXPECT_EQ(next == kEnd ? "" : std::string(out, reply.size), step.out) << c << ":" << i;
            EXPECT_EQ(bytes.back(), 0xA5) << c << ":" << i;
        }
        // What the memory records of the last answer, and the response wiped after it.
        EXPECT_TRUE(c != 0 || (session.answer.check == 0x63D9 && session.response[0] == '\0'));
    }
}

TEST(IsPuttyPluginSwitch, OnlyTheSwitchItself) {
    EXPECT_TRUE(IsPuttyPluginSwitch(" --putty-plugin\t"));
    for (const char* other : {"", "--putty-plugins", "x --putty-plugin", "--putty-plugin x"})
        EXPECT_FALSE(IsPuttyPluginSwitch(other)) << other;
}

} // namespace
