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
    HashKind kind;
    bool extended;
};

constexpr HashKind kNone = HashKind::MD5; // what an empty result holds

const ParseCase kParseCases[] = {
    {"Md5", "otp-md5 99 test", true, "otp-md5", "99", "test", HashKind::MD5, false},
    {"Md4", "otp-md4 17 alpha1", true, "otp-md4", "17", "alpha1", HashKind::MD4, false},
    {"Sha1", "otp-sha1 499 ke1234", true, "otp-sha1", "499", "ke1234", HashKind::SHA1, false},
    {"SlashKey", "s/key 98 ke1234", true, "s/key", "98", "ke1234", HashKind::MD4, false},
    {"DashKey", "s-key 98 ke1234", true, "s-key", "98", "ke1234", HashKind::MD4, false},
    {"Skey", "skey 98 ke1234", true, "skey", "98", "ke1234", HashKind::MD4, false},
    // Lines as servers print them, copied whole.
    {"FtpReply", "331 otp-md5 499 ke1234 ext required for alice.", true, "otp-md5", "499", "ke1234",
     HashKind::MD5, true},
    {"LoginTranscript", "login: alice\r\notp-md5 95 ab1234 ext\r\nResponse: ", true, "otp-md5",
     "95", "ab1234", HashKind::MD5, true},
    {"ChallengeIs", "Challenge is s/key 97 ka12345", true, "s/key", "97", "ka12345", HashKind::MD4,
     false},
    {"PasswordPrompt", "otp-sha1 95 obsd91335\nS/Key Password: ", true, "otp-sha1", "95",
     "obsd91335", HashKind::SHA1, false},
    {"Bracketed", "[ otp-md4 96 heim01 ]", true, "otp-md4", "96", "heim01", HashKind::MD4, false},
    {"ExtClosingABracket", "[ otp-md5 96 heim01 ext]", true, "otp-md5", "96", "heim01",
     HashKind::MD5, true},
    {"CapitalisedSeedAsCopied", "otp-md5 499 MyHost1 ext", true, "otp-md5", "499", "MyHost1",
     HashKind::MD5, true},
    {"FirstChallengeCounts", "otp-md5 99 test otp-sha1 5 seed", true, "otp-md5", "99", "test",
     HashKind::MD5, false},
    {"PrefixedWordWithoutCountPassedOver", "skey is otp-sha1 5 seed", true, "otp-sha1", "5", "seed",
     HashKind::SHA1, false},
    // The seed ends where its letters and digits do.
    {"SeedBeforeAComma", "otp-md5 99 test, Response: ", true, "otp-md5", "99", "test",
     HashKind::MD5, false},
    {"SeedOfPunctuation", "otp-md5 99 (x)", true, "otp-md5", "99", "", HashKind::MD5, false},
    {"ExtAfterPunctuatedSeed", "otp-md5 499 ke1234, ext", true, "otp-md5", "499", "ke1234",
     HashKind::MD5, true},
    {"ExtraIsNoExt", "otp-md5 499 ke1234 extra", true, "otp-md5", "499", "ke1234", HashKind::MD5,
     false},
    {"ExtWithoutSeed", "otp-md5 499", true, "otp-md5", "499", "", HashKind::MD5, false},
    // Texts that merely mention a prefix hold no challenge.
    {"Passkey", "Sign in with a passkey instead", false, "", "", "", kNone, false},
    {"Whiskey", "I like whiskey 12 years old", false, "", "", "", kNone, false},
    {"KeywordInProse", "we use otp-md5 for logins", false, "", "", "", kNone, false},
    {"ManualPage", "see skey(1)", false, "", "", "", kNone, false},
    {"KeywordAlone", "skey", false, "", "", "", kNone, false},
    {"PrefixInsideAWord", "myskey 5 x", false, "", "", "", kNone, false},
    {"CountNotANumber", "otp-md5 99x test", false, "", "", "", kNone, false},
    {"CountWithASign", "otp-md5 -5 test", false, "", "", "", kNone, false},
    {"CountOfHighBytes", "otp-md5 \xb9\xb2 test", false, "", "", "", kNone, false},
    {"PrefixIsCaseSensitive", "OTP-MD5 499 ke1234", false, "", "", "", kNone, false},
    {"UpperSlashKey", "S/KEY 99 test", false, "", "", "", kNone, false},
    {"NoPrefix", "md5 99 test", false, "", "", "", kNone, false},
    {"Empty", "", false, "", "", "", kNone, false},
    // A prefix opens no challenge unless the whole word is a known keyword.
    {"UnknownKeyword", "otp-xyz 33 s", false, "", "", "", kNone, false},
    {"TokensLeft", "otp-tokens 3 remaining on this account", false, "", "", "", kNone, false},
    {"KeywordWithColon", "s/key: 99 test", false, "", "", "", kNone, false},
    {"LongerKeyword", "otp-md5-extra 1 s", false, "", "", "", kNone, false},
    {"KnownKeywordAfterUnknown", "otp-xyz 33 s, otp-md5 5 t", true, "otp-md5", "5", "t",
     HashKind::MD5, false},
    // What a challenge found brings.
    {"CrLfLineEnd", "otp-md5 99 test\r\n", true, "otp-md5", "99", "test", HashKind::MD5, false},
    {"LoneCr", "otp-md4\r7\rabc", true, "otp-md4", "7", "abc", HashKind::MD4, false},
    {"TabsAndLineFeeds", "\t otp-md4\n17\t\tseed\n", true, "otp-md4", "17", "seed", HashKind::MD4,
     false},
    {"KeywordCaseIgnored", "otp-MD5 499 ke1234", true, "otp-MD5", "499", "ke1234", HashKind::MD5,
     false},
    {"NoSeed", "otp-md5 42", true, "otp-md5", "42", "", HashKind::MD5, false},
    {"SixteenCharacterSeedKept", "otp-sha1 1234567890 0123456789abcdef", true, "otp-sha1",
     "1234567890", "0123456789abcdef", HashKind::SHA1, false},
    // One character past the longest seed is kept, so the field holds a seed too long to
    // answer rather than a cut one that would be answered wrongly.
    {"LongSeedKeptOnePastSixteen", "otp-md5 99 0123456789abcdefXYZ", true, "otp-md5", "99",
     "0123456789abcdefX", HashKind::MD5, false},
    {"LongCountCutAtTen", "otp-md5 123456789012 s", true, "otp-md5", "1234567890", "s",
     HashKind::MD5, false},
    {"HighBitEndsTheSeed", "otp-md5 99 t\xe9st\xff", true, "otp-md5", "99", "t", HashKind::MD5,
     false},
};

class Parse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(Parse, SlotsAndKind) {
    const ParseCase& c = GetParam();
    const ParsedChallenge parsed = ParseChallenge(c.text);
    EXPECT_EQ(c.found, parsed.found);
    EXPECT_STREQ(c.keyword, parsed.slots.keyword);
    EXPECT_STREQ(c.count, parsed.slots.count);
    EXPECT_STREQ(c.seed, parsed.slots.seed);
    EXPECT_EQ(c.kind, parsed.kind);
    EXPECT_EQ(c.extended, parsed.extended);
}

INSTANTIATE_TEST_SUITE_P(Texts, Parse, ::testing::ValuesIn(kParseCases),
                         [](const ::testing::TestParamInfo<ParseCase>& param) {
                             return std::string(param.param.name);
                         });

TEST(Parse, NullText) {
    EXPECT_FALSE(ParseChallenge(nullptr).found);
}

TEST(Parse, LeavesTheTextAlone) {
    char text[] = "otp-md5 99 test\r\n";
    ParseChallenge(text);
    EXPECT_STREQ("otp-md5 99 test\r\n", text);
}

TEST(Parse, VeryLongWordsAreCut) {
    const std::string text =
        std::string(5000, 'k') + " skey " + std::string(5000, '9') + " " + std::string(5000, 's');
    const ParsedChallenge parsed = ParseChallenge(text.c_str());
    EXPECT_TRUE(parsed.found);
    EXPECT_STREQ("skey", parsed.slots.keyword);
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
        EXPECT_TRUE(parsed.found && parsed.kind == kind) << text;
    }
    EXPECT_EQ(nullptr, ChallengeKeyword(HashKind::SNK));
}

} // namespace
