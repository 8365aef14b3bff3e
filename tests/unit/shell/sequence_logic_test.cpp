#include "shell/logic/sequence_logic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// RFC 2289's MD5 vector for "This is a test.", seed "TeSt", count 99: 50FE1962C4965880.
const std::uint8_t kRight[8] = {0x50, 0xfe, 0x19, 0x62, 0xc4, 0x96, 0x58, 0x80};
// A value whose first 16 bits differ: another pass phrase.
const std::uint8_t kWrong[8] = {0x50, 0xff, 0x19, 0x62, 0xc4, 0x96, 0x58, 0x80};
constexpr std::uint16_t kCheck = 0x50fe;

struct GuardCase {
    const char* name;
    bool guardOn;
    std::uint32_t remembered; // 0: not remembered
    std::uint32_t asked;
    std::uint32_t checkCount; // what the computation must also give
    const std::uint8_t* value;
    bool mistyped;
    bool lowCount;
    bool checkSkipped;
};

const GuardCase kGuardCases[] = {
    {"OptionOff", false, 99, 5, 0, nullptr, false, false, false},
    {"NotRemembered", true, 0, 5, 0, nullptr, false, false, false},
    {"Above", true, 99, 100, 0, nullptr, false, false, false},
    {"Equal", true, 99, 99, 0, nullptr, false, false, false},
    {"OneBelow", true, 99, 98, 99, kRight, false, false, false},
    {"OneBelowMistyped", true, 99, 98, 99, kWrong, true, false, false},
    {"TenBelowTheNext", true, 99, 88, 99, kRight, false, false, false},
    {"ElevenBelowTheNext", true, 99, 87, 99, kRight, false, true, false},
    {"FarBelowAndMistyped", true, 99, 2, 99, kWrong, true, true, false},
    {"CheckAtItsLongest", true, 1000005, 5, 1000005, kRight, false, true, false},
    {"CheckTooLong", true, 1000006, 5, 0, nullptr, false, true, true},
};

class Guard : public ::testing::TestWithParam<GuardCase> {};

TEST_P(Guard, AsksOnlyWhereTheSequenceSaysSo) {
    const GuardCase& c = GetParam();
    const SequenceRecord record = {c.remembered, kCheck, 7};
    const SequenceRecord* remembered = c.remembered != 0 ? &record : nullptr;
    EXPECT_EQ(c.checkCount, GuardCheckCount(c.guardOn, remembered, c.asked));
    const GuardVerdict verdict = DecideGuard(c.guardOn, remembered, c.asked, c.value);
    EXPECT_EQ(c.mistyped, verdict.mistyped);
    EXPECT_EQ(c.lowCount, verdict.lowCount);
    EXPECT_EQ(c.checkSkipped, verdict.checkSkipped);
    if (verdict.lowCount) {
        EXPECT_EQ(c.remembered - 1, verdict.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, Guard, ::testing::ValuesIn(kGuardCases),
                         [](const ::testing::TestParamInfo<GuardCase>& param) {
                             return std::string(param.param.name);
                         });

TEST(SequenceRecord, ReadsBackWhatItWroteAndRefusesAnythingElse) {
    const SequenceRecord record = {999999999, 0xbeef, 0x01020304};
    std::uint8_t bytes[kSequenceRecordSize + 1] = {};
    EncodeSequenceRecord(record, bytes);
    const std::uint8_t expected[kSequenceRecordSize] = {0xff, 0xc9, 0x9a, 0x3b, 0xef,
                                                        0xbe, 0x04, 0x03, 0x02, 0x01};
    EXPECT_EQ(0, std::memcmp(expected, bytes, sizeof expected));
    SequenceRecord read = {};
    ASSERT_TRUE(DecodeSequenceRecord(bytes, kSequenceRecordSize, &read));
    EXPECT_EQ(record.count, read.count);
    EXPECT_EQ(record.check, read.check);
    EXPECT_EQ(record.used, read.used);

    const struct {
        const char* what;
        std::size_t length;
        std::uint32_t count;
    } kGarbled[] = {{"short", kSequenceRecordSize - 1, 5},
                    {"long", kSequenceRecordSize + 1, 5},
                    {"count 0", kSequenceRecordSize, 0},
                    {"ten digits", kSequenceRecordSize, 1000000000}};
    for (const auto& garbled : kGarbled) {
        EncodeSequenceRecord({garbled.count, 1, 1}, bytes);
        EXPECT_FALSE(DecodeSequenceRecord(bytes, garbled.length, &read)) << garbled.what;
    }
    EXPECT_FALSE(DecodeSequenceRecord(nullptr, kSequenceRecordSize, &read));
}

TEST(SequenceName, KeywordAndFoldedSeed) {
    char name[kSequenceNameSize];
    const struct {
        HashKind kind;
        const char* seed;
        const char* name;
    } kNames[] = {
        {HashKind::MD5, "KE1234", "otp-md5 ke1234"},
        {HashKind::MD4, "TeSt", "otp-md4 test"},
        {HashKind::SHA1, "abcdefghij012345", "otp-sha1 abcdefghij012345"},
        {HashKind::MD5, "T\xc9st", "otp-md5 t\xc9st"},
    };
    for (const auto& row : kNames) {
        ASSERT_TRUE(SequenceName(row.kind, row.seed, name)) << row.name;
        EXPECT_STREQ(row.name, name);
    }
    EXPECT_FALSE(SequenceName(HashKind::SNK, "1234", name));
    EXPECT_FALSE(SequenceName(HashKind::SHA1, "0123456789abcdef0123456", name));
}

// A full store makes room with a garbled value first, else the least recently used; a new
// sequence takes the next use after the highest.
TEST(SurveySequence, MakesRoomWithTheGarbledValueElseTheOldest) {
    const struct {
        const char* what;
        std::vector<int> used; // -1: a garbled value
        int victim;
        std::uint32_t highest;
    } cases[] = {
        {"the first of the oldest", {7, 3, 9, 3}, 1, 9},
        {"a garbled one first", {7, 3, -1, 1}, 2, 7},
        {"the first garbled one", {-1, 3, -1}, 0, 3},
    };
    for (const auto& c : cases) {
        SequenceSurvey survey = {};
        int victim = -1;
        for (std::size_t i = 0; i < c.used.size(); ++i) {
            const SequenceRecord record = {5, 0, static_cast<std::uint32_t>(c.used[i])};
            if (SurveySequence(survey, c.used[i] < 0 ? nullptr : &record))
                victim = static_cast<int>(i);
        }
        EXPECT_EQ(c.victim, victim) << c.what;
        EXPECT_EQ(c.highest, survey.highestUsed) << c.what;
    }
}

} // namespace
