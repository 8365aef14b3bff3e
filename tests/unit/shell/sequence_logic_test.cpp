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
// The value of the count answered, whose check a new record takes.
const std::uint8_t kAnswered[8] = {0x12, 0x37, 0xdc, 0xb4, 0xaa, 0x53, 0x16, 0xc1};
constexpr std::uint16_t kNew = 0x1237;

struct GuardCase {
    const char* name;
    bool guardOn;
    SequenceRecord remembered; // count 0: not remembered
    std::uint32_t asked;
    std::uint32_t lowest; // a list's last count; 0: a response
    std::uint32_t checkCount;
    const std::uint8_t* value; // at the check count
    bool mistyped;
    bool lowCount;
    bool checkSkipped;
    // After the answer, with Yes to every box asked.
    SequenceRecord after;
};

const GuardCase kGuardCases[] = {
    {"NotRemembered", true, {}, 5, 0, 0, nullptr, false, false, false, {5, kNew, 0}},
    {"AtTheCount", true, {99, kCheck, 3}, 99, 0, 99, kRight, false, false, false, {99, kCheck, 3}},
    {"AtTheCountMistypedYesReplaces",
     true,
     {99, kCheck, 3},
     99,
     0,
     99,
     kWrong,
     true,
     false,
     false,
     {99, kNew, 0}},
    // Above: checked at the remembered count on the way, the memory not raised.
    {"AboveIsNotRemembered",
     true,
     {100, kCheck, 4},
     5000,
     0,
     100,
     kRight,
     false,
     false,
     false,
     {100, kCheck, 4}},
    {"AboveMistyped",
     true,
     {100, kCheck, 0},
     5000,
     0,
     100,
     kWrong,
     true,
     false,
     false,
     {5000, kNew, 0}},
    {"TheCountExpectedRestoresTheAllowance",
     true,
     {89, kCheck, 10},
     88,
     0,
     89,
     kRight,
     false,
     false,
     false,
     {88, kNew, 0}},
    {"TenSkipped", true, {100, kCheck, 0}, 89, 0, 100, kRight, false, false, false, {89, kNew, 10}},
    {"SkipsAddUp", true, {89, kCheck, 10}, 78, 0, 89, kRight, false, true, false, {78, kNew, 0}},
    {"OneMoreAfterTen",
     true,
     {89, kCheck, 10},
     87,
     0,
     89,
     kRight,
     false,
     true,
     false,
     {87, kNew, 0}},
    {"ElevenAtOnce", true, {99, kCheck, 0}, 87, 0, 99, kRight, false, true, false, {87, kNew, 0}},
    {"FarBelowAndMistyped",
     true,
     {99, kCheck, 0},
     2,
     0,
     99,
     kWrong,
     true,
     true,
     false,
     {2, kNew, 0}},
    {"CheckAtItsLongest",
     true,
     {1000005, kCheck, 0},
     5,
     0,
     1000005,
     kRight,
     false,
     true,
     false,
     {5, kNew, 0}},
    {"CheckTooLong", true, {1000006, kCheck, 0}, 5, 0, 0, nullptr, false, true, true, {5, kNew, 0}},
    // Guard off: no box, and the memory kept as with the guard on, but for another pass phrase.
    {"GuardOffStillRemembers",
     false,
     {99, kCheck, 2},
     50,
     0,
     99,
     kRight,
     false,
     false,
     false,
     {50, kNew, 50}},
    {"GuardOffAnotherPassPhraseChangesNothing",
     false,
     {99, kCheck, 2},
     98,
     0,
     99,
     kWrong,
     false,
     false,
     false,
     {99, kCheck, 2}},
    // A list gives away every count down to its last: none of them is skipped.
    {"ListFromTheCountExpected",
     true,
     {100, kCheck, 4},
     99,
     90,
     100,
     kRight,
     false,
     false,
     false,
     {90, kNew, 0}},
    {"ListAfterASkip",
     true,
     {100, kCheck, 4},
     95,
     86,
     100,
     kRight,
     false,
     false,
     false,
     {86, kNew, 8}},
    {"ListFromAbovePassingTheCount",
     true,
     {100, kCheck, 4},
     150,
     51,
     100,
     kRight,
     false,
     false,
     false,
     {51, kNew, 0}},
};

class Guard : public ::testing::TestWithParam<GuardCase> {};

TEST_P(Guard, AsksOnlyWhereTheSequenceSaysSoAndRemembersWhatWasGivenAway) {
    const GuardCase& c = GetParam();
    const SequenceRecord* remembered = c.remembered.count != 0 ? &c.remembered : nullptr;
    EXPECT_EQ(c.checkCount, GuardCheckCount(remembered, c.asked));
    const GuardVerdict verdict = DecideGuard(c.guardOn, remembered, c.asked, c.value);
    EXPECT_EQ(c.mistyped, verdict.mistyped);
    EXPECT_EQ(c.lowCount, verdict.lowCount);
    EXPECT_EQ(c.checkSkipped, verdict.checkSkipped);
    const std::uint32_t lowest = c.lowest != 0 ? c.lowest : c.asked;
    const SequenceRecord after =
        RecordAfterAnswer(remembered, AnswerPastGuard(verdict, c.asked, lowest, kAnswered));
    EXPECT_EQ(c.after.count, after.count);
    EXPECT_EQ(c.after.check, after.check);
    EXPECT_EQ(c.after.skipped, after.skipped);
}

INSTANTIATE_TEST_SUITE_P(Counts, Guard, ::testing::ValuesIn(kGuardCases),
                         [](const ::testing::TestParamInfo<GuardCase>& param) {
                             return std::string(param.param.name);
                         });

// Another process wrote a lower count after the guard looked: an answer above it raises nothing.
TEST(RecordAfterAnswer, KeepsALowerCountStoredMeanwhileUnlessTheAnswerReplaces) {
    const SequenceRecord before = {52, kCheck, 0};
    const GuardVerdict verdict = DecideGuard(true, &before, 50, kRight);
    const SequenceRecord meanwhile = {40, 0x4444, 0};
    SequenceAnswer answer = AnswerPastGuard(verdict, 50, 50, kAnswered);
    EXPECT_EQ(40u, RecordAfterAnswer(&meanwhile, answer).count);
    answer.replace = true;
    EXPECT_EQ(50u, RecordAfterAnswer(&meanwhile, answer).count);
}

TEST(DescribeGuard, TheChallengeOnALineOfItsOwnThenTheSkipsInAll) {
    const SequenceRecord remembered = {89, kCheck, 10};
    char text[512];
    DescribeGuard(GuardReason::LowCount, DecideGuard(true, &remembered, 78, kRight), HashKind::MD5,
                  "TeSt", 78, text, sizeof text);
    EXPECT_EQ(0, std::strncmp(text, "otp-md5 78 test\n", 16)) << text;
    EXPECT_NE(nullptr, std::strstr(text, "expected is 88, and with the 10 skipped before, 20"))
        << text;
}

SequenceMemory MemoryOf(const std::vector<std::string>& names) {
    SequenceMemory memory = {};
    for (std::size_t i = names.size(); i-- > 0;)
        PutSequence(memory, names[i].c_str(), {static_cast<std::uint32_t>(i + 1), 0, 0});
    return memory;
}

std::string Names(const SequenceMemory& memory) {
    std::string names;
    for (std::size_t i = 0; i < memory.size; ++i)
        names += std::string(memory.entries[i].name) + ";";
    return names;
}

TEST(SequenceMemory, TheLatestFirstAndTheOldestGoesAtTheLimit) {
    SequenceMemory memory = MemoryOf({"b", "a"});
    PutSequence(memory, "a", {7, 0, 0});
    EXPECT_EQ("a;b;", Names(memory));
    EXPECT_EQ(7u, FindSequence(memory, "a")->count);
    EXPECT_EQ(nullptr, FindSequence(memory, "c"));
    for (std::size_t i = 0; i < kSequenceLimit; ++i)
        PutSequence(memory, ("s" + std::to_string(i)).c_str(), {5, 0, 0});
    EXPECT_EQ(kSequenceLimit, memory.size);
    EXPECT_EQ(nullptr, FindSequence(memory, "a"));
    EXPECT_EQ(nullptr, FindSequence(memory, "b"));
    EXPECT_NE(nullptr, FindSequence(memory, "s0"));
}

// The same size whatever it holds; names inside, little-endian records.
TEST(SequenceMemory, ReadsBackWhatItWroteAtOneSizeAndRefusesAnythingElse) {
    SequenceMemory memory = {};
    PutSequence(memory, "otp-md5 test", {999999999, 0xbeef, 0x01020304});
    std::uint8_t bytes[kSequenceMemorySize + 1] = {};
    EncodeSequenceMemory(memory, bytes);
    const std::uint8_t slot[] = {'o', 't', 'p', '-', 'm', 'd', '5', ' ', 't', 'e', 's', 't'};
    EXPECT_EQ(0, std::memcmp(bytes + 4, slot, sizeof slot));
    const std::uint8_t record[] = {0xff, 0xc9, 0x9a, 0x3b, 0xef, 0xbe, 0x04, 0x03, 0x02, 0x01};
    EXPECT_EQ(0, std::memcmp(bytes + 4 + kSequenceNameSize, record, sizeof record));
    SequenceMemory read = {};
    ASSERT_TRUE(DecodeSequenceMemory(bytes, kSequenceMemorySize, &read));
    EXPECT_EQ("otp-md5 test;", Names(read));
    EXPECT_EQ(0x01020304u, read.entries[0].record.skipped);
    std::uint8_t empty[kSequenceMemorySize];
    EncodeSequenceMemory(SequenceMemory{}, empty);
    ASSERT_TRUE(DecodeSequenceMemory(empty, sizeof empty, &read));
    EXPECT_EQ(0u, read.size);

    const struct {
        const char* what;
        std::size_t at; // the bytes changed
        std::size_t span;
        std::uint8_t to;
        std::size_t length;
    } kGarbled[] = {
        {"short", 0, 1, 'V', kSequenceMemorySize - 1},
        {"long", 0, 1, 'V', kSequenceMemorySize + 1},
        {"another mark", 0, 1, 'W', kSequenceMemorySize},
        {"a name without its end", 4, kSequenceNameSize, 'x', kSequenceMemorySize},
        {"count 0", 4 + kSequenceNameSize, 4, 0, kSequenceMemorySize},
        {"an entry after an empty slot", 4 + 2 * kSequenceSlotSize, 1, 'x', kSequenceMemorySize},
    };
    for (const auto& garbled : kGarbled) {
        EncodeSequenceMemory(memory, bytes);
        std::memset(bytes + garbled.at, garbled.to, garbled.span);
        EXPECT_FALSE(DecodeSequenceMemory(bytes, garbled.length, &read)) << garbled.what;
    }
}

// 0.15's values: the latest used first, behind what the memory holds; a name it holds keeps its
// record.
TEST(CarryOverOldSequences, TheLatestFirstBehindTheMemory) {
    const std::uint8_t at99[10] = {0x63, 0, 0, 0, 0xfe, 0x50, 1, 0, 0, 0};
    const std::uint8_t at50[10] = {0x32, 0, 0, 0, 0xfe, 0x50, 9, 0, 0, 0};
    const std::uint8_t at0[10] = {0, 0, 0, 0, 0xfe, 0x50, 5, 0, 0, 0};
    OldSequence old[4];
    ASSERT_TRUE(DecodeOldSequence("otp-md5 test", at99, 10, &old[0]));
    ASSERT_TRUE(DecodeOldSequence("otp-sha1 x", at50, 10, &old[1]));
    ASSERT_TRUE(DecodeOldSequence("kept", at50, 10, &old[2]));
    EXPECT_FALSE(DecodeOldSequence("otp-md4 y", at0, 10, &old[3]));
    EXPECT_FALSE(DecodeOldSequence("otp-md4 y", at99, 9, &old[3]));
    EXPECT_FALSE(DecodeOldSequence(std::string(kSequenceNameSize, 'n').c_str(), at99, 10, &old[3]));
    SequenceMemory memory = MemoryOf({"kept"});
    CarryOverOldSequences(memory, old, 3);
    EXPECT_EQ("kept;otp-sha1 x;otp-md5 test;", Names(memory));
    EXPECT_EQ(1u, FindSequence(memory, "kept")->count);
    const SequenceRecord* test = FindSequence(memory, "otp-md5 test");
    ASSERT_NE(nullptr, test);
    EXPECT_EQ(99u, test->count);
    EXPECT_EQ(0x50feu, test->check);
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

} // namespace
