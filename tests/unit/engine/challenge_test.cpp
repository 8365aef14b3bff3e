#include "engine/challenge.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct ParseCase {
    const char* name;
    const char* text;
    bool found;
    const char* keyword;
    const char* count;
    const char* seed;
    bool hasKind;
    HashKind kind;
};

const ParseCase kParseCases[] = {
    {"Md5", "otp-md5 99 test", true, "otp-md5", "99", "test", true, HashKind::MD5},
    {"Md4", "otp-md4 17 alpha1", true, "otp-md4", "17", "alpha1", true, HashKind::MD4},
    {"Sha1", "otp-sha1 499 ke1234", true, "otp-sha1", "499", "ke1234", true, HashKind::SHA1},
    {"SlashKey", "s/key 98 ke1234", true, "s/key", "98", "ke1234", true, HashKind::MD4},
    {"DashKey", "s-key 98 ke1234", true, "s-key", "98", "ke1234", true, HashKind::MD4},
    {"Skey", "skey 98 ke1234", true, "skey", "98", "ke1234", true, HashKind::MD4},
    // Lines as servers print them, copied whole.
    {"FtpReply", "331 otp-md5 499 ke1234 ext required for alice.", true, "otp-md5", "499", "ke1234",
     true, HashKind::MD5},
    {"LoginTranscript", "login: alice\r\notp-md5 95 ab1234 ext\r\nResponse: ", true, "otp-md5",
     "95", "ab1234", true, HashKind::MD5},
    {"ChallengeIs", "Challenge is s/key 97 ka12345", true, "s/key", "97", "ka12345", true,
     HashKind::MD4},
    {"PasswordPrompt", "otp-sha1 95 obsd91335\nS/Key Password: ", true, "otp-sha1", "95",
     "obsd91335", true, HashKind::SHA1},
    {"Bracketed", "[ otp-md4 96 heim01 ]", true, "otp-md4", "96", "heim01", true, HashKind::MD4},
    {"CapitalisedSeedAsCopied", "otp-md5 499 MyHost1 ext", true, "otp-md5", "499", "MyHost1", true,
     HashKind::MD5},
    {"FirstChallengeCounts", "otp-md5 99 test otp-sha1 5 seed", true, "otp-md5", "99", "test", true,
     HashKind::MD5},
    {"PrefixedWordWithoutCountPassedOver", "skey is otp-sha1 5 seed", true, "otp-sha1", "5", "seed",
     true, HashKind::SHA1},
    // Texts that merely mention a prefix hold no challenge.
    {"Passkey", "Sign in with a passkey instead", false, "", "", "", false, HashKind::MD5},
    {"Whiskey", "I like whiskey 12 years old", false, "", "", "", false, HashKind::MD5},
    {"KeywordInProse", "we use otp-md5 for logins", false, "", "", "", false, HashKind::MD5},
    {"ManualPage", "see skey(1)", false, "", "", "", false, HashKind::MD5},
    {"KeywordAlone", "skey", false, "", "", "", false, HashKind::MD5},
    {"PrefixInsideAWord", "myskey 5 x", false, "", "", "", false, HashKind::MD5},
    {"CountNotANumber", "otp-md5 99x test", false, "", "", "", false, HashKind::MD5},
    {"CountWithASign", "otp-md5 -5 test", false, "", "", "", false, HashKind::MD5},
    {"CountOfHighBytes", "otp-md5 \xb9\xb2 test", false, "", "", "", false, HashKind::MD5},
    {"PrefixIsCaseSensitive", "OTP-MD5 499 ke1234", false, "", "", "", false, HashKind::MD5},
    {"UpperSlashKey", "S/KEY 99 test", false, "", "", "", false, HashKind::MD5},
    {"NoPrefix", "md5 99 test", false, "", "", "", false, HashKind::MD5},
    {"Empty", "", false, "", "", "", false, HashKind::MD5},
    // What a challenge found brings.
    {"CrLfLineEnd", "otp-md5 99 test\r\n", true, "otp-md5", "99", "test", true, HashKind::MD5},
    {"LoneCr", "otp-md4\r7\rabc", true, "otp-md4", "7", "abc", true, HashKind::MD4},
    {"TabsAndLineFeeds", "\t otp-md4\n17\t\tseed\n", true, "otp-md4", "17", "seed", true,
     HashKind::MD4},
    {"KeywordCaseIgnored", "otp-MD5 499 ke1234", true, "otp-MD5", "499", "ke1234", true,
     HashKind::MD5},
    {"KeywordWithColon", "s/key: 99 test", true, "s/key:", "99", "test", false, HashKind::MD5},
    {"UnknownKeyword", "otp-xyz 5 seed", true, "otp-xyz", "5", "seed", false, HashKind::MD5},
    {"NoSeed", "otp-md5 42", true, "otp-md5", "42", "", true, HashKind::MD5},
    {"SixteenCharacterSeedKept", "otp-sha1 1234567890 0123456789abcdef", true, "otp-sha1",
     "1234567890", "0123456789abcdef", true, HashKind::SHA1},
    // One character past the longest seed is kept, so the field holds a seed too long to
    // answer rather than a cut one that would be answered wrongly.
    {"LongSeedKeptOnePastSixteen", "otp-md5 99 0123456789abcdefXYZ", true, "otp-md5", "99",
     "0123456789abcdefX", true, HashKind::MD5},
    {"LongCountCutAtTen", "otp-md5 123456789012 s", true, "otp-md5", "1234567890", "s", true,
     HashKind::MD5},
    {"LongKeywordCutAtTen", "otp-md5-extra 1 s", true, "otp-md5-ex", "1", "s", false,
     HashKind::MD5},
    {"HighBitSeed", "otp-md5 99 t\xe9st\xff", true, "otp-md5", "99", "t\xe9st\xff", true,
     HashKind::MD5},
};

class Parse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(Parse, SlotsAndKind) {
    const ParseCase& c = GetParam();
    const ParsedChallenge parsed = ParseChallenge(c.text);
    EXPECT_EQ(c.found, parsed.found);
    EXPECT_STREQ(c.keyword, parsed.slots.keyword);
    EXPECT_STREQ(c.count, parsed.slots.count);
    EXPECT_STREQ(c.seed, parsed.slots.seed);
    EXPECT_EQ(c.hasKind, parsed.hasKind);
    if (c.hasKind) {
        EXPECT_EQ(c.kind, parsed.kind);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, Parse, ::testing::ValuesIn(kParseCases),
                         [](const ::testing::TestParamInfo<ParseCase>& param) {
                             return std::string(param.param.name);
                         });

TEST(Parse, NullText) {
    const ParsedChallenge parsed = ParseChallenge(nullptr);
    EXPECT_FALSE(parsed.found);
    EXPECT_FALSE(parsed.hasKind);
}

TEST(Parse, LeavesTheTextAlone) {
    char text[] = "otp-md5 99 test\r\n";
    ParseChallenge(text);
    EXPECT_STREQ("otp-md5 99 test\r\n", text);
}

TEST(Parse, VeryLongWordsAreCut) {
    const std::string text = std::string(5000, 'k') + " skey" + std::string(5000, 'k') + " " +
                             std::string(5000, '9') + " " + std::string(5000, 's');
    const ParsedChallenge parsed = ParseChallenge(text.c_str());
    EXPECT_TRUE(parsed.found);
    EXPECT_STREQ("skeykkkkkk", parsed.slots.keyword);
    EXPECT_STREQ("9999999999", parsed.slots.count);
    EXPECT_STREQ("sssssssssssssssss", parsed.slots.seed);
}

bool SlotIsClean(const char* slot, int capacity) {
    const void* end = std::memchr(slot, '\0', static_cast<std::size_t>(capacity) + 1);
    if (end == nullptr) return false;
    for (const char* p = slot; p != end; ++p) {
        if (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r') return false;
    }
    return true;
}

TEST(Parse, ArbitraryBytesStayWithinTheSlots) {
    // Deterministic pseudo-random texts, biased towards delimiters, prefixes and digits;
    // the sanitizer build turns any read past the terminator into a failure.
    const char alphabet[] = " \t\r\nskey-/otpmd5\xff\x80\x01Zz9 7 ";
    std::uint32_t state = 12345;
    for (int round = 0; round < 3000; ++round) {
        state = state * 1103515245u + 12345u;
        const std::size_t length = (state >> 16) % 64;
        std::string text;
        for (std::size_t i = 0; i < length; ++i) {
            state = state * 1103515245u + 12345u;
            text += alphabet[(state >> 16) % (sizeof alphabet - 1)];
        }
        const ParsedChallenge parsed = ParseChallenge(text.c_str());
        ASSERT_TRUE(SlotIsClean(parsed.slots.keyword, kChallengeSlotLength)) << round;
        ASSERT_TRUE(SlotIsClean(parsed.slots.count, kChallengeSlotLength)) << round;
        ASSERT_TRUE(SlotIsClean(parsed.slots.seed, kChallengeSeedLength)) << round;
        if (parsed.found) {
            ASSERT_NE('\0', parsed.slots.keyword[0]) << round;
            ASSERT_NE('\0', parsed.slots.count[0]) << round;
        }
    }
}

// The keyword named for a kind is one the recogniser takes back as that kind.
TEST(ChallengeKeyword, ParsesBackToItsKind) {
    for (HashKind kind : {HashKind::MD4, HashKind::MD5, HashKind::SHA1}) {
        const std::string text = std::string(ChallengeKeyword(kind)) + " 99 test";
        const ParsedChallenge parsed = ParseChallenge(text.c_str());
        EXPECT_TRUE(parsed.found && parsed.hasKind && parsed.kind == kind) << text;
    }
    EXPECT_EQ(nullptr, ChallengeKeyword(HashKind::SNK));
}

} // namespace
