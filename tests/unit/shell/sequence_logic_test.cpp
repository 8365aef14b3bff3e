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
    std::uint32_t lowest; // a list's last count; 0 for a response
    bool right;           // the pass phrase gives the remembered check
    std::uint32_t checkCount;
    const char* boxes;
    SequenceRecord after; // with Yes to every box
};

const GuardCase kGuardCases[] = {
    {"NotRemembered", true, {}, 5, 0, true, 0, "", {5, kNew, 0}},
    {"AtTheCount", true, {99, kCheck, 3}, 99, 0, true, 99, "", {99, kCheck, 3}},
    {"AtTheCountMistyped", true, {99, kCheck, 3}, 99, 0, false, 99, "mistyped", {99, kNew, 0}},
    // Checked at the remembered count on the way; the memory is not raised.
    {"Above", true, {100, kCheck, 4}, 5000, 0, true, 100, "", {100, kCheck, 4}},
    {"AboveMistyped", true, {100, kCheck, 0}, 5000, 0, false, 100, "mistyped", {5000, kNew, 0}},
    {"TheCountExpected", true, {89, kCheck, 10}, 88, 0, true, 89, "", {88, kNew, 0}},
    {"TenSkipped", true, {100, kCheck, 0}, 89, 0, true, 100, "", {89, kNew, 10}},
    {"SkipsAddUp", true, {89, kCheck, 10}, 78, 0, true, 89, "low", {78, kNew, 0}},
    {"OneMoreAfterTen", true, {89, kCheck, 10}, 87, 0, true, 89, "low", {87, kNew, 0}},
    {"ElevenAtOnce", true, {99, kCheck, 0}, 87, 0, true, 99, "low", {87, kNew, 0}},
    {"FarBelowMistyped", true, {99, kCheck, 0}, 2, 0, false, 99, "mistyped low", {2, kNew, 0}},
    {"CheckAtItsLongest", true, {1000005, kCheck, 0}, 5, 0, true, 1000005, "low", {5, kNew, 0}},
    {"CheckTooLong", true, {1000006, kCheck, 0}, 5, 0, true, 0, "low unchecked", {5, kNew, 0}},
    // No box, and the memory kept as with the guard on, but for another pass phrase.
    {"GuardOff", false, {99, kCheck, 2}, 50, 0, true, 99, "", {50, kNew, 50}},
    {"GuardOffMistyped", false, {99, kCheck, 2}, 98, 0, false, 99, "", {99, kCheck, 2}},
    // A list gives away every count down to its last: none of them is skipped.
    {"ListFromTheCountExpected", true, {100, kCheck, 4}, 99, 90, true, 100, "", {90, kNew, 0}},
    {"ListAfterASkip", true, {100, kCheck, 4}, 95, 86, true, 100, "", {86, kNew, 8}},
    {"ListFromAbove", true, {100, kCheck, 4}, 150, 51, true, 100, "", {51, kNew, 0}},
};

class Guard : public ::testing::TestWithParam<GuardCase> {};

TEST_P(Guard, AsksWhereTheSequenceSaysSoAndRemembersWhatWasGivenAway) {
    const GuardCase& c = GetParam();
    const SequenceRecord* remembered = c.remembered.count != 0 ? &c.remembered : nullptr;
    EXPECT_EQ(c.checkCount, GuardCheckCount(remembered, c.asked));
    const GuardVerdict verdict = DecideGuard(c.guardOn, remembered, c.asked,
                                             c.checkCount == 0 ? nullptr
                                             : c.right         ? kRight
                                                               : kWrong);
    std::string boxes = std::string(verdict.mistyped ? " mistyped" : "") +
                        (verdict.lowCount ? " low" : "") +
                        (verdict.checkSkipped ? " unchecked" : "");
    EXPECT_EQ(c.boxes, boxes.empty() ? boxes : boxes.substr(1));
    const SequenceRecord after = RecordAfterAnswer(
        remembered,
        AnswerPastGuard(verdict, c.asked, c.lowest != 0 ? c.lowest : c.asked, kAnswered));
    EXPECT_EQ(c.after.count, after.count);
    EXPECT_EQ(c.after.check, after.check);
    EXPECT_EQ(c.after.skipped, after.skipped);
}

INSTANTIATE_TEST_SUITE_P(Counts, Guard, ::testing::ValuesIn(kGuardCases),
                         [](const ::testing::TestParamInfo<GuardCase>& param) {
                             return std::string(param.param.name);
                         });

// Always the same size: a mark, then each name NUL-padded with its record little-endian, the
// latest first; the oldest goes at the limit.
TEST(SequenceMemory, ReadsBackWhatItWroteAtOneSizeAndRefusesAnythingElse) {
    SequenceMemory memory = {};
    PutSequence(memory, "otp-md5 test", {7, 0, 0});
    PutSequence(memory, "otp-sha1 x", {1, 0, 0});
    PutSequence(memory, "otp-md5 test", {999999999, 0xbeef, 0x01020304});
    std::uint8_t bytes[kSequenceMemorySize];
    EncodeSequenceMemory(memory, bytes);
    const std::uint8_t record[] = {0xff, 0xc9, 0x9a, 0x3b, 0xef, 0xbe, 0x04, 0x03, 0x02, 0x01};
    EXPECT_EQ(0, std::memcmp(bytes + 4, "otp-md5 test\0", 13));
    EXPECT_EQ(0, std::memcmp(bytes + 4 + kSequenceNameSize, record, sizeof record));
    SequenceMemory read = {};
    ASSERT_TRUE(DecodeSequenceMemory(bytes, sizeof bytes, &read));
    ASSERT_EQ(2u, read.size);
    EXPECT_STREQ("otp-sha1 x", read.entries[1].name);
    EXPECT_EQ(0x01020304u, FindSequence(read, "otp-md5 test")->skipped);

    for (std::size_t i = 0; i < kSequenceLimit - 1; ++i)
        PutSequence(memory, std::to_string(i).c_str(), {5, 0, 0});
    EXPECT_TRUE(FindSequence(memory, "otp-md5 test") && !FindSequence(memory, "otp-sha1 x"));

    const struct {
        const char* what;
        std::size_t at, span; // the bytes changed
        std::uint8_t to;
        std::size_t length;
    } kGarbled[] = {
        {"short", 0, 1, 'V', kSequenceMemorySize - 1},
        {"a name without its end", 4, kSequenceNameSize, 'x', kSequenceMemorySize},
        {"count 0", 4 + kSequenceNameSize, 4, 0, kSequenceMemorySize},
        {"an entry after an empty slot", 4 + 3 * kSequenceSlotSize, 1, 'x', kSequenceMemorySize},
    };
    for (const auto& garbled : kGarbled) {
        std::uint8_t copy[kSequenceMemorySize + 1];
        std::memcpy(copy, bytes, sizeof bytes);
        std::memset(copy + garbled.at, garbled.to, garbled.span);
        EXPECT_FALSE(DecodeSequenceMemory(copy, garbled.length, &read)) << garbled.what;
    }
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
