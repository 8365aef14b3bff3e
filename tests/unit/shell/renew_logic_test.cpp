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
}

TEST(NextSeed, TheTrailingNumberGoesUpByOne) {
    const struct {
        const char* seed;
        const char* next; // "": none fits
    } cases[] = {
        {"ke1234", "ke1235"},
        {"ke9", "ke10"},
        {"abc", "abc1"},
        {"ke0999", "ke1000"},
        {"99", "100"},
        {"abcdefghijklmn98", "abcdefghijklmn99"},
        {"abcdefghijklmn99", ""},
        {"abcdefghijklmnop", ""},
    };
    for (const auto& c : cases) {
        char next[kSeedLimit + 1] = "x";
        EXPECT_EQ(c.next[0] != '\0', NextSeed(c.seed, next)) << c.seed;
        EXPECT_STREQ(c.next, next) << c.seed;
    }
}

TEST(CheckRenewFields, RefusesTheFirstBadFieldByName) {
    const std::string p63(63, 'p'), p64(64, 'p'), p48(48, 'p');
    const struct {
        HashKind kind;
        std::string passPhrase, confirm;
        const char* seed;
        const char* count;
        Message refusal;
    } cases[] = {
        {HashKind::MD5, "", "", "ke1235", "499", Message::None},
        {HashKind::SHA1, p63, p63, "k", "9999", Message::None},
        {HashKind::MD5, "012345678", "012345678", "ke1235", "10", Message::RenewPassPhraseShort},
        {HashKind::MD5, "", "0123456789", "ke1235", "499", Message::RenewMismatch},
        {HashKind::MD5, p64, p64, "k", "499", Message::RenewPassPhraseLong},
        {HashKind::MD5, "0123456789", "0123456788", "k", "499", Message::RenewMismatch},
        {HashKind::MD5, "", "", "ke 1235", "499", Message::RenewBadSeed},
        {HashKind::MD5, "", "", "KE1234", "499", Message::RenewSameSeed},
        {HashKind::MD5, "", "", "ke1235", "9", Message::RenewBadCount},
        {HashKind::MD5, "", "", "ke1235", "10000", Message::RenewBadCount},
        {HashKind::MD4, p63, p63, "ke", "499", Message::RenewMd4TooLong},
        {HashKind::MD4, p48, p48, "abcdefghij012345", "499", Message::None},
    };
    for (const auto& c : cases) {
        RenewFields fields = {};
        std::snprintf(fields.passPhrase, sizeof fields.passPhrase, "%s", c.passPhrase.c_str());
        std::snprintf(fields.confirm, sizeof fields.confirm, "%s", c.confirm.c_str());
        std::snprintf(fields.seed, sizeof fields.seed, "%s", c.seed);
        std::snprintf(fields.count, sizeof fields.count, "%s", c.count);
        EXPECT_EQ(c.refusal, CheckRenewFields(c.kind, "ke1234", "This is a test.", fields))
            << c.passPhrase << " / " << c.seed << " / " << c.count;
    }
}

} // namespace
