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
        std::optional<HashKind> kind;
        std::uint32_t count;
        Notice notice;
        const char* title;
        const char* said; // a part of the text
    } const cases[] = {
        {HashKind::MD5, 9, Notice::ResponsesLeft, "8 responses left", "count 9, seed test has 8 "},
        {HashKind::MD4, 3, Notice::ResponsesLeft, "2 responses left", "count 3, seed test has 2 "},
        {HashKind::SHA1, 2, Notice::OneResponseLeft, "1 response left", "seed test has 1 response"},
        {HashKind::MD5, 1, Notice::LastResponse, "No responses left",
         "last response for seed test"},
        {HashKind::MD5, 10, Notice::None, "", ""},
        {HashKind::SHA1, 11, Notice::None, "", ""},
        {HashKind::MD4, 999999999, Notice::None, "", ""},
        {HashKind::MD5, 0, Notice::None, "", ""},
        {HashKind::SNK, 1, Notice::None, "", ""},
        {std::nullopt, 5, Notice::None, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "count " << c.count);
        const NoticeText notice = ResponsesLeftNotice(c.kind, c.count, "test");
        EXPECT_EQ(c.notice, notice.notice);
        EXPECT_STREQ(c.title, notice.title);
        EXPECT_NE(nullptr, std::strstr(notice.text, c.said)) << notice.text;
        if (c.notice != Notice::None) {
            EXPECT_EQ(NoticeIcon::Warning, notice.icon);
            EXPECT_NE(nullptr, std::strstr(notice.text, "re-initialise")) << notice.text;
            EXPECT_TRUE(EndsWith(notice.text, "\"ext\" can be renewed in the login with Renew..."))
                << notice.text;
        }
    }
}

// The notice and the icon's tip name a waiting challenge alike.
TEST(ChallengeWaitingNotice, NamesTheChallengeAsARemoteSystemPresentsIt) {
    struct Case {
        std::optional<HashKind> kind;
        const char* count;
        const char* seed;
        const char* name;
    } const cases[] = {
        {HashKind::SHA1, "42", "seedy", "otp-sha1 42 seedy"},
        {HashKind::MD5, "99", "test", "otp-md5 99 test"},
        {HashKind::MD4, "7", "ke1234", "otp-md4 7 ke1234"},
        // The count field is not used in SNK mode.
        {HashKind::SNK, "99", "1234", "SNK 1234"},
        {HashKind::MD5, "", "test", "otp-md5 test"},
        {HashKind::MD5, "99", "", "otp-md5 99"},
        {HashKind::MD4, "", "", "otp-md4"},
        // No radio button checked: Ok would compute nothing, and the kind goes unnamed.
        {std::nullopt, "5", "x", "5 x"},
        // Control characters do not reach the shell; the high half of the code page does.
        {HashKind::MD5, "9\x01", "te\rst\x7f", "otp-md5 9? te?st?"},
        {HashKind::MD5, "\xb9", "t\xe9st", "otp-md5 \xb9 t\xe9st"},
        // No more than a challenge's slots hold.
        {HashKind::MD5, "123456789012", "abcdefghijklmnopqrst",
         "otp-md5 1234567890 abcdefghijklmnopq"},
    };
    for (const Case& c : cases) {
        const NoticeText notice = ChallengeWaitingNotice(c.kind, c.count, c.seed);
        EXPECT_EQ(Notice::ChallengeWaiting, notice.notice);
        EXPECT_EQ(NoticeIcon::Info, notice.icon);
        EXPECT_EQ(std::string(c.name) +
                      ": click here or double-click the Vantreth icon to answer it.",
                  notice.text);
        char tip[kTrayTipSize];
        WaitingTip(c.kind, c.count, c.seed, tip);
        EXPECT_EQ(std::string("Vantreth: ") + c.name + " waiting", tip);
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
        ChallengeWaitingNotice(HashKind::SHA1, longCount.c_str(), longSeed.c_str()),
        ResponsesLeftNotice(HashKind::SHA1, 9, longSeed.c_str()),
        ResponsesLeftNotice(HashKind::SHA1, 2, longSeed.c_str()),
        ResponsesLeftNotice(HashKind::SHA1, 1, longSeed.c_str()),
    };
    for (const NoticeText& notice : notices) {
        SCOPED_TRACE(notice.text);
        EXPECT_NE(Notice::None, notice.notice);
        EXPECT_GT(std::strlen(notice.title), 0u);
        EXPECT_LT(std::strlen(notice.title), kNoticeTitleSize - 1);
        EXPECT_LT(std::strlen(notice.text), kNoticeTextSize - 1);
        EXPECT_TRUE(EndsWith(notice.text, ".")) << "cut short";
    }
    char tip[kTrayTipSize];
    WaitingTip(HashKind::SHA1, longCount.c_str(), longSeed.c_str(), tip);
    EXPECT_TRUE(EndsWith(tip, " waiting")) << tip;
}

} // namespace
