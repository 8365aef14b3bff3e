#include "shell/logic/renew_logic.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/otp.h"

namespace {

// RFC 2444's example: MD5, "This is a test.", ke1234 at 499 and ke1235 at 499.
const std::uint8_t kKe1234[8] = {0x5b, 0xf0, 0x75, 0xd9, 0x95, 0x9d, 0x03, 0x6f};
const std::uint8_t kKe1235[8] = {0x37, 0x12, 0xdc, 0xb4, 0xaa, 0x53, 0x16, 0xc1};

TEST(BuildRenewalLine, InWordsAndInHex) {
    char line[kResponseSize];
    BuildRenewalLine(HashKind::MD5, kKe1234, "KE1235", 499, kKe1235, false, line, sizeof line);
    EXPECT_STREQ("init-word:BOND FOGY DRAB NE RISE MART:md5 499 ke1235:RED HERD NOW BEAN PA BURG",
                 line);
    BuildRenewalLine(HashKind::MD5, kKe1234, "ke1235", 499, kKe1235, true, line, sizeof line);
    EXPECT_STREQ("init-hex:5bf075d9959d036f:md5 499 ke1235:3712dcb4aa5316c1", line);
    // The longest: SHA1, four-letter words, a 16-character seed and a four-digit count.
    const std::uint8_t ones[8] = {0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff};
    EXPECT_EQ(96u, BuildRenewalLine(HashKind::SHA1, ones, "abcdefghij012345", 9999, ones, false,
                                    line, sizeof line));
    EXPECT_EQ(0u, BuildRenewalLine(HashKind::SNK, ones, "a", 10, ones, false, line, sizeof line));
}

TEST(NextSeed, TheTrailingNumberGoesUpByOne) {
    const struct {
        const char* seed;
        const char* next; // "": none fits
    } cases[] = {
        {"ke1234", "ke1235"},     {"ke9", "ke10"},
        {"abc", "abc1"},          {"ke0999", "ke1000"},
        {"KE1299", "KE1300"},     {"99", "100"},
        {"a1b2", "a1b3"},         {"abcdefghijklmn98", "abcdefghijklmn99"},
        {"abcdefghijklmn99", ""}, {"abcdefghijklmnop", ""},
    };
    for (const auto& c : cases) {
        char next[kSeedLimit + 1] = "x";
        EXPECT_EQ(c.next[0] != '\0', NextSeed(c.seed, next)) << c.seed;
        EXPECT_STREQ(c.next, next) << c.seed;
    }
}

RenewFields Fields(const char* passPhrase, const char* confirm, const char* seed,
                   const char* count) {
    RenewFields fields = {};
    std::snprintf(fields.passPhrase, sizeof fields.passPhrase, "%s", passPhrase);
    std::snprintf(fields.confirm, sizeof fields.confirm, "%s", confirm);
    std::snprintf(fields.seed, sizeof fields.seed, "%s", seed);
    std::snprintf(fields.count, sizeof fields.count, "%s", count);
    return fields;
}

TEST(CheckRenewFields, RefusesTheFirstBadFieldByName) {
    const std::string longest(63, 'p');
    const struct {
        HashKind kind;
        RenewFields fields;
        Message refusal;
    } cases[] = {
        {HashKind::MD5, Fields("", "", "ke1235", "499"), Message::None},
        {HashKind::MD5, Fields("0123456789", "0123456789", "ke1235", "10"), Message::None},
        {HashKind::SHA1, Fields(longest.c_str(), longest.c_str(), "k", "9999"), Message::None},
        {HashKind::MD5, Fields("012345678", "012345678", "ke1235", "499"),
         Message::RenewPassPhraseShort},
        {HashKind::MD5, Fields("", "0123456789", "ke1235", "499"), Message::RenewPassPhraseShort},
        {HashKind::MD5, Fields((longest + "p").c_str(), (longest + "p").c_str(), "k", "499"),
         Message::RenewPassPhraseLong},
        {HashKind::MD5, Fields("0123456789", "0123456788", "ke1235", "499"),
         Message::RenewMismatch},
        {HashKind::MD5, Fields("", "", "", "499"), Message::RenewBadSeed},
        {HashKind::MD5, Fields("", "", "ke 1235", "499"), Message::RenewBadSeed},
        {HashKind::MD5, Fields("", "", "abcdefghij0123456", "499"), Message::RenewBadSeed},
        {HashKind::MD5, Fields("", "", "KE1234", "499"), Message::RenewSameSeed},
        {HashKind::MD5, Fields("", "", "ke1235", "9"), Message::RenewBadCount},
        {HashKind::MD5, Fields("", "", "ke1235", "10000"), Message::RenewBadCount},
        {HashKind::MD5, Fields("", "", "ke1235", ""), Message::RenewBadCount},
        {HashKind::MD4, Fields(longest.c_str(), longest.c_str(), "ke", "499"),
         Message::RenewMd4TooLong},
        {HashKind::MD4,
         Fields(std::string(48, 'p').c_str(), std::string(48, 'p').c_str(), "abcdefghij012345",
                "499"),
         Message::None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.refusal, CheckRenewFields(c.kind, "ke1234", "This is a test.", c.fields))
            << c.fields.passPhrase << " / " << c.fields.seed << " / " << c.fields.count;
    }
}

TEST(RenewalAccepted, OnlyForTheCopiedChallengeWithItsMark) {
    const CopiedChallenge copied = {true, HashKind::MD5, "499", "ke1234", true};
    EXPECT_TRUE(RenewalAccepted(copied, HashKind::MD5, "499", "ke1234"));
    EXPECT_FALSE(RenewalAccepted(copied, HashKind::SHA1, "499", "ke1234"));
    EXPECT_FALSE(RenewalAccepted(copied, HashKind::MD5, "498", "ke1234"));
    EXPECT_FALSE(RenewalAccepted(copied, HashKind::MD5, "499", "ke1235"));
    EXPECT_FALSE(RenewalAccepted({true, HashKind::MD5, "499", "ke1234", false}, HashKind::MD5,
                                 "499", "ke1234"));
    EXPECT_FALSE(RenewalAccepted({}, HashKind::MD5, "", ""));
}

} // namespace
