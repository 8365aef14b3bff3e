#include "shell/logic/notice_logic.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(ResponsesLeftNotice, WarnsBelowTenWithWhatIsLeftOfTheSeed) {
    struct Case {
        Computation computation;
        std::uint32_t count;
        Notice notice;
        const char* title;
        const char* said; // a part of the text
    } const cases[] = {
        {Computation::Md5, 9, Notice::ResponsesLeft, "8 responses left",
         "count 9, seed test has 8 "},
        {Computation::Md4, 3, Notice::ResponsesLeft, "2 responses left",
         "count 3, seed test has 2 "},
        {Computation::Sha1, 2, Notice::OneResponseLeft, "1 response left",
         "seed test has 1 response"},
        {Computation::Md5, 1, Notice::LastResponse, "No responses left",
         "last response for seed test"},
        {Computation::Md5, 10, Notice::None, "", ""},
        {Computation::Sha1, 11, Notice::None, "", ""},
        {Computation::Md4, 999999999, Notice::None, "", ""},
        {Computation::Md5, 0, Notice::None, "", ""},
        {Computation::Snk, 1, Notice::None, "", ""},
        {Computation::None, 5, Notice::None, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "count " << c.count);
        const NoticeText notice = ResponsesLeftNotice(c.computation, c.count, "test");
        EXPECT_EQ(c.notice, notice.notice);
        EXPECT_STREQ(c.title, notice.title);
        EXPECT_NE(nullptr, std::strstr(notice.text, c.said)) << notice.text;
        if (c.notice != Notice::None) {
            EXPECT_EQ(NoticeIcon::Warning, notice.icon);
            EXPECT_NE(nullptr, std::strstr(notice.text, "re-initialise")) << notice.text;
        }
    }
}

TEST(ChallengeWaitingNotice, NamesTheChallengeAsARemoteSystemPresentsIt) {
    struct Case {
        Computation computation;
        const char* count;
        const char* seed;
        const char* name;
    } const cases[] = {
        {Computation::Sha1, "42", "seedy", "otp-sha1 42 seedy"},
        {Computation::Md5, "99", "test", "otp-md5 99 test"},
        {Computation::Md4, "7", "ke1234", "otp-md4 7 ke1234"},
        // The count field is not used in SNK mode.
        {Computation::Snk, "99", "1234", "SNK 1234"},
        {Computation::Md5, "", "test", "otp-md5 test"},
        {Computation::Md5, "99", "", "otp-md5 99"},
        {Computation::Md4, "", "", "otp-md4"},
        // No radio button checked: Ok would compute nothing, and the kind goes unnamed.
        {Computation::None, "5", "x", "5 x"},
        // Control characters do not reach the shell; the high half of the code page does.
        {Computation::Md5, "9\x01", "te\rst\x7f", "otp-md5 9? te?st?"},
        {Computation::Md5, "\xb9", "t\xe9st", "otp-md5 \xb9 t\xe9st"},
        // No more than a challenge's slots hold.
        {Computation::Md5, "123456789012", "abcdefghijklmnopqrst",
         "otp-md5 1234567890 abcdefghijklmnopq"},
    };
    for (const Case& c : cases) {
        const NoticeText notice = ChallengeWaitingNotice(c.computation, c.count, c.seed);
        EXPECT_EQ(Notice::ChallengeWaiting, notice.notice);
        EXPECT_EQ(NoticeIcon::Info, notice.icon);
        EXPECT_EQ(std::string(c.name) +
                      ": click here or double-click the Vantreth icon to answer it.",
                  notice.text);
    }
}

// A notice cut short would lose its point: with the longest values each may name, every
// notice still ends as written.
TEST(Notices, FitTheirStructureWithTheLongestValues) {
    const std::string longCount(32, '\xff');
    const std::string longSeed(64, '\xff');
    const NoticeText notices[] = {
        PlainNotice(Notice::FirstStart),
        PlainNotice(Notice::AlreadyRunning),
        ChallengeWaitingNotice(Computation::Sha1, longCount.c_str(), longSeed.c_str()),
        ResponsesLeftNotice(Computation::Sha1, 9, longSeed.c_str()),
        ResponsesLeftNotice(Computation::Sha1, 2, longSeed.c_str()),
        ResponsesLeftNotice(Computation::Sha1, 1, longSeed.c_str()),
    };
    for (const NoticeText& notice : notices) {
        SCOPED_TRACE(notice.text);
        EXPECT_NE(Notice::None, notice.notice);
        EXPECT_GT(std::strlen(notice.title), 0u);
        EXPECT_LT(std::strlen(notice.title), kNoticeTitleSize - 1);
        EXPECT_LT(std::strlen(notice.text), kNoticeTextSize - 1);
        EXPECT_TRUE(EndsWith(notice.text, ".")) << "cut short";
    }
}

} // namespace
