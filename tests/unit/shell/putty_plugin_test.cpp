#include "shell/logic/putty_plugin.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
const std::string kInit = M(1, U32(2) + S("localhost") + U32(22) + S("alice")),
                  kKi = M(3, S("keyboard-interactive")), kMd5At99 = Request("otp-md5 99 TeSt"),
                  kWords99 = Answer("BAIL TUFT BITS GANG CHEF THY", 21);
// The server's request as the user gets it: the server line first in the instruction.
std::string Marked(const std::string& prompt, const std::string& why = "",
                   const std::string& name = "", char echo = 0) {
    const std::string line = "The server asks this, not Vantreth.";
    return M(22, S(name) + S(why.empty() ? line : line + "\n" + why) + S("") + U32(1) + S(prompt) +
                     echo);
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

// One message from PuTTY and the session's reply ("" for none, or when it ends). Where the
// session asks for the login dialog, the dialog's answer (null: Cancel) and the reply to that.
struct Step {
    std::string in;
    std::string out;
    PluginNext next = PluginNext::Send;
    bool asks = false;
    const char* response = nullptr;
};
const PluginNext kWait = PluginNext::Wait, kAnswer = PluginNext::Answer, kEnd = PluginNext::End;
const Step kOpening[] = {{kInit, M(2, U32(2) + S(""))}, {kKi, M(4)}};
Step Asks(const std::string& in, const char* response, const std::string& out,
          PluginNext next = kAnswer) {
    return Step{in, out, next, true, response};
}

TEST(PluginSession, AnswersAsPuttyExpects) {
    const std::string words = "BAIL TUFT BITS GANG CHEF THY";
    const std::vector<std::vector<Step>> conversations = {
        // The challenge in a prompt answered in the dialog; then, after a refused login, in the
        // instruction, and the dialog cancelled: the request goes to the user after all.
        {kOpening[0],
         kOpening[1],
         Asks(Request("otp-md5 99 TeSt\nS/Key Password:"), words.c_str(), kWords99),
         {M(7), "", kWait},
         kOpening[1],
         Asks(M(20, S("") + S("otp-sha1 1 TeSt ext") + S("") + U32(1) + S("Response: ") + '\1'),
              nullptr, Marked("Response: ", "otp-sha1 1 TeSt ext", "", 1), PluginNext::Send),
         {Answer("CART OTTO HIVE ODE VAT NUT"), Answer("CART OTTO HIVE ODE VAT NUT", 21)},
         {M(6), "", kWait}},
        // The versions PuTTY offers up to 2, and only keyboard-interactive.
        {{M(1, U32(1) + S("h") + U32(22) + S("")), M(2, U32(1) + S(""))},
         {M(3, S("password")), M(5)}},
        {{M(1, U32(3) + S("h") + U32(22) + S("")), M(2, U32(2) + S(""))},
         {M(3, S("publickey")), M(5, S(""))}},
        {{M(1, U32(0) + S("h") + U32(22) + S("")), "", kEnd}},
        // What it does not answer goes to the user marked, and the answer back unchanged, a
        // length of 10 and CR LF and 0x1A among it.
        {kOpening[0],
         kOpening[1],
         {Request("Password: "), Marked("Password: ")},
         {Answer("pass\r\n\x1a"), Answer("pass\r\n\x1a", 21)}},
        {kOpening[0],
         kOpening[1],
         {M(20, S("otp-md5 99 TeSt") + S("") + S("") + U32(2) + S("a") + kOff + S("b") + kOff),
          M(22, S("otp-md5 99 TeSt") + S("The server asks this, not Vantreth.") + S("") + U32(2) +
                    S("a") + kOff + S("b") + kOff)}},
        // Look-alikes of a challenge: marked as the server's, whatever they look like on screen.
        {kOpening[0], kOpening[1], {Request("otp-md5 0 TeSt"), Marked("otp-md5 0 TeSt")}},
        {kOpening[0],
         kOpening[1],
         {Request("Pass phrase for otp-md5 \x07"
                  "99 obsd91335:"),
          Marked("Pass phrase for otp-md5 \x07"
                 "99 obsd91335:")}},
        {kOpening[0],
         kOpening[1],
         {Request(std::string("\0otp-md5 99 obsd91335", 21)),
          Marked(std::string("\0otp-md5 99 obsd91335", 21))}},
        {kOpening[0],
         kOpening[1],
         {Request("OTP-MD5 99 obsd91335"), Marked("OTP-MD5 99 obsd91335")}},
        {kOpening[0],
         kOpening[1],
         {Request("otp-md5\xc2\xa0"
                  "99 obsd91335"),
          Marked("otp-md5\xc2\xa0"
                 "99 obsd91335")}},
        {kOpening[0],
         kOpening[1],
         {Request("otp-md5 99 obsd9133512345678"), Marked("otp-md5 99 obsd9133512345678")}},
        {kOpening[0],
         kOpening[1],
         {M(20, S("") + S("otp-md5 99 obsd91335") + S("") + U32(0)),
          M(22, S("") + S("The server asks this, not Vantreth.\notp-md5 99 obsd91335") + S("") +
                    U32(0))},
         {M(23, U32(0)), M(21, U32(0))},
         {Request("Pass phrase:"), Marked("Pass phrase:")}},
        // Messages out of turn.
        {{kKi, "", kEnd}},
        {kOpening[0], {kInit, "", kEnd}},
        {kOpening[0], kOpening[1], {M(6), "", kWait}, {M(6), "", kEnd}},
        {kOpening[0], kOpening[1], {Request("Password: "), Marked("Password: ")}, {kKi, "", kEnd}},
    };
    for (std::size_t c = 0; c < conversations.size(); ++c) {
        PluginSession session{};
        for (std::size_t i = 0; i < conversations[c].size(); ++i) {
            const Step& step = conversations[c][i];
            std::vector<std::uint8_t> bytes(step.in.begin(), step.in.end());
            bytes.resize(step.in.size() + kPluginMarkRoom, 0xA5);
            std::uint8_t buffer[kPluginReplySize];
            PluginReply reply;
            PluginNext next = PluginReceive(session, bytes.data(), step.in.size(), buffer, reply);
            EXPECT_EQ(next == PluginNext::Ask, step.asks) << c << ":" << i;
            if (next == PluginNext::Ask) {
                EXPECT_EQ("localhost", std::string(session.who).substr(6)) << c << ":" << i;
                next = PluginAnswered(session, bytes.data(), step.in.size(), step.response, buffer,
                                      reply);
            }
            const auto* out = reinterpret_cast<const char*>(reply.bytes);
            EXPECT_EQ(next, step.next) << c << ":" << i;
            EXPECT_EQ(next == kEnd ? "" : std::string(out, reply.size), step.out) << c << ":" << i;
        }
    }
}

// Who asks, for the dialog: PuTTY 0.78 names no user.
TEST(PluginSession, NamesWhoAsks) {
    const struct {
        std::string init;
        std::string who;
    } rows[] = {
        {kInit, "alice@localhost"},
        {M(1, U32(2) + S("bsd.example") + U32(22) + S("")), "bsd.example"},
        {M(1, U32(2) + S("") + U32(22) + S("")), ""},
        // Cut to what the dialog's line takes.
        {M(1, U32(2) + S(std::string(300, 'h')) + U32(22) + S("a")), "a@" + std::string(253, 'h')}};
    for (const auto& row : rows) {
        PluginSession session{};
        std::vector<std::uint8_t> bytes(row.init.begin(), row.init.end());
        bytes.resize(row.init.size() + kPluginMarkRoom);
        std::uint8_t buffer[kPluginReplySize];
        PluginReply reply;
        EXPECT_EQ(PluginNext::Send,
                  PluginReceive(session, bytes.data(), row.init.size(), buffer, reply));
        EXPECT_EQ(row.who, session.who);
    }
}

TEST(IsPuttyPluginSwitch, OnlyTheSwitchItself) {
    EXPECT_TRUE(IsPuttyPluginSwitch(" --putty-plugin\t"));
    for (const char* other : {"", "--putty-plugins", "x --putty-plugin", "--putty-plugin x"})
        EXPECT_FALSE(IsPuttyPluginSwitch(other)) << other;
}

} // namespace
