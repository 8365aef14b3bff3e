#include "shell/logic/putty_plugin.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "shell/logic/messages.h"

namespace {

// Messages as the PuTTY manual lays them out: SSH uint32s and strings after a length and a type.
std::string U32(std::uint32_t v) {
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}
std::string S(const std::string& s) {
    return U32(std::uint32_t(s.size())) + s;
}
std::string M(int type, const std::string& fields = "") {
    return U32(std::uint32_t(fields.size() + 1)) + char(type) + fields;
}
const std::string kOff(1, '\0'), kOn(1, '\1');
const std::string kInit = M(1, U32(2) + S("localhost") + U32(22) + S("alice"));
const std::string kKi = M(3, S("keyboard-interactive"));
std::string Request(const std::string& prompt) {
    return M(20, S("") + S("") + S("") + U32(1) + S(prompt) + kOff);
}
std::string Ask(const std::string& prompt, const std::string& why = "", bool echo = false) {
    return M(22, S("") + S(why) + S("") + U32(1) + S(prompt) + (echo ? kOn : kOff));
}
std::string Answer(const std::string& answer) {
    return M(23, U32(1) + S(answer));
}
std::string Server(const std::string& answer) {
    return M(21, U32(1) + S(answer));
}
template <typename... Values> std::string Text(PluginPrompt prompt, Values... values) {
    char text[400];
    std::snprintf(text, sizeof text, PluginPromptText(prompt), values...);
    return text;
}
const std::string kRefused =
    M(22, S("") + S(Text(PluginPrompt::NotAnswered, "otp-md5", "99", "TeSt")) + S("") + U32(0));
const std::string kPrompt99 = "Pass phrase for otp-md5 99 TeSt:";
// The sequence as remembered at counts 100 and 120: the first 16 bits of the RFC 2289 MD5 value
// of "This is a test." and TeSt there (Python's hashlib).
const PluginMemory kAt100{true, true, {100, 0xccb7, 1}};
const PluginMemory kAt120{true, true, {120, 0x4595, 1}};
std::string Describe(GuardReason reason, const PluginMemory& memory) {
    char text[400];
    DescribeGuard(reason, DecideGuard(true, &memory.record, 99, nullptr), HashKind::MD5, "TeSt", 99,
                  text, sizeof text);
    return text;
}
const std::string kRfc2289Md5At99 = "BAIL TUFT BITS GANG CHEF THY";

TEST(ReadPluginMessage, TakesPuttysMessagesAndRefusesEveryMalformedOne) {
    const std::string limitText(kPluginMessageLimit - 5, 'x');
    const struct {
        const char* what;
        std::string bytes;
        bool ok;
    } cases[] = {
        {"init", kInit, true},
        {"protocol", kKi, true},
        {"auth success, failure", M(6) + M(7), false}, // two messages are not one
        {"auth failure", M(7), true},
        {"request, two prompts",
         M(20, S("n") + S("i") + S("") + U32(2) + S("a") + kOn + S("b") + kOff), true},
        {"user response, none", M(23, U32(0)), true},
        {"exactly the limit", M(3, S(limitText)), true},
        {"one byte over the limit", M(3, S(limitText + "x")), false},
        {"nothing", "", false},
        {"a short length field", std::string(3, '\0'), false},
        {"length 0", U32(0), false},
        {"length over what came", U32(9) + char(3) + S("x"), false},
        {"truncated", kKi.substr(0, kKi.size() - 1), false},
        {"a string past its message", M(3, U32(21) + "keyboard-interactive"), false},
        {"a string of 4 GiB", M(3, U32(0xFFFFFFFF)), false},
        {"more prompts than sent", M(20, S("") + S("") + S("") + U32(2) + S("a") + kOff), false},
        {"4 G prompts", M(20, S("") + S("") + S("") + U32(0xFFFFFFFF)), false},
        {"a prompt without its boolean", M(20, S("") + S("") + S("") + U32(1) + S("a")), false},
        {"more answers than sent", M(23, U32(2) + S("a")), false},
        {"a byte after the last field", M(6, "x"), false},
        {"init without its user name", M(1, U32(2) + S("h") + U32(22)), false},
        {"a type the plugin sends", M(22, S("") + S("") + S("") + U32(0)), false},
        {"an unknown type", M(99), false},
    };
    for (const auto& c : cases) {
        PluginMessage m;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(c.bytes.data());
        EXPECT_EQ(ReadPluginMessage(bytes, c.bytes.size(), m), c.ok) << c.what;
    }
}

struct Step {
    std::string in;
    std::string out; // the reply; empty when none
    PluginNext next;
    PluginMemory memory = {true, false, {}};
};

// Runs the messages through one session as the program does, and returns it.
PluginSession Converse(const std::vector<Step>& steps) {
    PluginSession session{};
    for (std::size_t i = 0; i < steps.size(); ++i) {
        std::vector<std::uint8_t> bytes(steps[i].in.begin(), steps[i].in.end());
        bytes.push_back(0xA5); // the byte the session may use, which it must give back
        std::uint8_t buffer[kPluginReplySize];
        PluginReply reply;
        PluginNext next = PluginReceive(session, bytes.data(), steps[i].in.size(), buffer, reply);
        if (next == PluginNext::Check)
            next = PluginGuardReply(session, steps[i].memory, buffer, reply);
        EXPECT_EQ(next, steps[i].next) << "step " << i;
        const char* out = reinterpret_cast<const char*>(reply.bytes);
        EXPECT_EQ(next == PluginNext::End ? "" : std::string(out, reply.size), steps[i].out)
            << "step " << i;
        EXPECT_EQ(bytes.back(), 0xA5) << "step " << i;
    }
    return session;
}

TEST(PluginSession, AnswersTheChallengeAndStartsOverAfterARefusedLogin) {
    const PluginSession s = Converse({
        {kInit, M(2, U32(2) + S("")), PluginNext::Send},
        {kKi, M(4), PluginNext::Send},
        {Request("otp-md5 99 TeSt\nS/Key Password:"), Ask(kPrompt99), PluginNext::Send},
        {Answer("This is a test."), Server(kRfc2289Md5At99), PluginNext::Answer},
        {M(7), "", PluginNext::Wait},
        {kKi, M(4), PluginNext::Send},
        {M(20, S("") + S("otp-sha1 1 TeSt ext") + S("") + U32(1) + S("Response: ") + kOn),
         Ask("Pass phrase for otp-sha1 1 TeSt:"), PluginNext::Send},
        {Answer("This is a test."), Server("CART OTTO HIVE ODE VAT NUT"), PluginNext::Answer},
        {M(6), "", PluginNext::Wait},
    });
    EXPECT_EQ(std::string(s.response), ""); // wiped by the next message
    EXPECT_EQ(s.check, 0x63D9);             // what the memory records of the last answer
}

TEST(PluginSession, OffersTheVersionsPuttyOffersUpToItsOwn) {
    Converse({{M(1, U32(1) + S("h") + U32(22) + S("")), M(2, U32(1) + S("")), PluginNext::Send},
              {M(3, S("password")), M(5), PluginNext::Send}});
    Converse({{M(1, U32(3) + S("h") + U32(22) + S("")), M(2, U32(2) + S("")), PluginNext::Send},
              {M(3, S("publickey")), M(5, S("")), PluginNext::Send}});
    Converse({{M(1, U32(0) + S("h") + U32(22) + S("")), "", PluginNext::End}});
}

TEST(PluginSession, PassesOnWhatItCannotAnswerUnchanged) {
    const std::string twoPrompts =
        M(20, S("") + S("otp-md5 99 TeSt") + S("") + U32(2) + S("a") + kOff + S("b") + kOff);
    for (const std::string& request : {Request("Password: "), Request("otp-md5 0 TeSt"),
                                       Request("otp-md5 99 seventeencharacter"), twoPrompts}) {
        std::string asked = request;
        asked[4] = char(22);
        Converse({{kInit, M(2, U32(2) + S("")), PluginNext::Send},
                  {kKi, M(4), PluginNext::Send},
                  {request, asked, PluginNext::Send},
                  {Answer("secret\r\n\x1a"), Server("secret\r\n\x1a"), PluginNext::Send}});
    }
}

TEST(PluginSession, AsksAgainWithTheReasonThenLeavesTheChallengeUnanswered) {
    const MessageEntry& tooLong = MessageFor(Message::PassPhraseTooLong);
    std::string why(400, '\0');
    why.resize(std::snprintf(&why[0], why.size(), tooLong.text, tooLong.limit));
    Converse({
        {kInit, M(2, U32(2) + S("")), PluginNext::Send},
        {kKi, M(4), PluginNext::Send},
        {Request("otp-md5 99 TeSt"), Ask(kPrompt99), PluginNext::Send},
        {Answer(std::string(64, 'p')), Ask(kPrompt99, why), PluginNext::Send},
        {Answer(std::string("This is a test.\0x", 17)),
         Ask(kPrompt99, MessageFor(Message::NoPassPhrase).text), PluginNext::Send},
        {Answer("This is a tset."), Ask(kPrompt99, Describe(GuardReason::Mistyped, kAt100)),
         PluginNext::Send, kAt100},
        {Answer("This is a tset."), kRefused, PluginNext::Send, kAt100},
        {M(23, U32(0)), Server(""), PluginNext::Send},
        {M(7), "", PluginNext::Wait},
    });
}

TEST(PluginSession, AnswersALowCountOnlyAfterYes) {
    const std::string question =
        Text(PluginPrompt::Confirm, Describe(GuardReason::LowCount, kAt120).c_str());
    for (const char* answer : {"YES", "no"}) {
        const bool yes = answer[0] == 'Y';
        Converse({
            {kInit, M(2, U32(2) + S("")), PluginNext::Send},
            {kKi, M(4), PluginNext::Send},
            {Request("otp-md5 99 TeSt"), Ask(kPrompt99), PluginNext::Send},
            {Answer("This is a test."), Ask(question, "", true), PluginNext::Send, kAt120},
            {Answer(answer), yes ? Server(kRfc2289Md5At99) : kRefused,
             yes ? PluginNext::Answer : PluginNext::Send},
        });
    }
    // With the guard off, neither guard asks (the words: an independent encoder of the value).
    Converse({{kInit, M(2, U32(2) + S("")), PluginNext::Send},
              {kKi, M(4), PluginNext::Send},
              {Request("otp-md5 99 TeSt"), Ask(kPrompt99), PluginNext::Send},
              {Answer("This is a tset."), Server("NOB BAM PAM ARCH COMB DAM"), PluginNext::Answer,
               PluginMemory{false, true, kAt120.record}}});
}

TEST(PluginSession, EndsOnAMessageOutOfTurn) {
    const std::string init = M(2, U32(2) + S(""));
    Converse({{kKi, "", PluginNext::End}});
    Converse({{kInit, init, PluginNext::Send}, {kInit, "", PluginNext::End}});
    Converse({{kInit, init, PluginNext::Send}, {M(6), "", PluginNext::End}});
    Converse({{kInit, init, PluginNext::Send}, {Request("otp-md5 99 TeSt"), "", PluginNext::End}});
    Converse({{kInit, init, PluginNext::Send},
              {kKi, M(4), PluginNext::Send},
              {Request("otp-md5 99 TeSt"), Ask(kPrompt99), PluginNext::Send},
              {M(23, U32(2) + S("a") + S("b")), "", PluginNext::End}});
}

TEST(IsPuttyPluginSwitch, OnlyTheSwitchItself) {
    EXPECT_TRUE(IsPuttyPluginSwitch("--putty-plugin"));
    EXPECT_TRUE(IsPuttyPluginSwitch(" --putty-plugin\t"));
    for (const char* other :
         {"", "--putty", "--putty-plugins", "x --putty-plugin", "--putty-plugin x"})
        EXPECT_FALSE(IsPuttyPluginSwitch(other)) << other;
}

} // namespace
