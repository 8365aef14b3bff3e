#include "snk/snk_enrol.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "snk/snk_response.h"
#include "snk_vectors.h"

namespace {

struct FieldCase {
    const char* seed;
    const char* password;
    const char* confirm;
    EnrolRefusal refusal;
};

const char kSeed[] = "123 045 377 000 111 222 333 001";

const FieldCase kFieldCases[] = {
    {"", "", "", EnrolRefusal::NoSeed},
    {"", "pw", "pw", EnrolRefusal::NoSeed},
    {kSeed, "", "", EnrolRefusal::NoPassword},
    {kSeed, "", "pw", EnrolRefusal::NoPassword},
    {kSeed, "pw", "", EnrolRefusal::NoConfirm},
    {kSeed, "Secret", "secret", EnrolRefusal::Mismatch},
    {kSeed, "pw", "pw ", EnrolRefusal::Mismatch},
    {kSeed, "pw", "pw", EnrolRefusal::None},
    // The seed's format is checked before anything else is looked at.
    {"s", "", "", EnrolRefusal::BadSeed},
    {"123 045 377 000 111 222 333 01", "pw", "pw", EnrolRefusal::BadSeed},
    {"123 045 377 000 111 222 333 001 ", "pw", "pw", EnrolRefusal::BadSeed},
    {"123 045 377 000 111 222 333 400", "pw", "pw", EnrolRefusal::BadSeed},
    {"123 045 377 000\t111 222 333 001", "pw", "pw", EnrolRefusal::BadSeed},
    {"123-045-377-000-111-222-333-001", "pw", "pw", EnrolRefusal::BadSeed},
};

TEST(SnkEnrol, FieldChecksInOrder) {
    for (const FieldCase& c : kFieldCases) {
        EXPECT_EQ(CheckEnrolFields(c.seed, c.password, c.confirm), c.refusal)
            << c.seed << '|' << c.password << '|' << c.confirm;
    }
}

TEST(SnkEnrol, FieldsAreCutAtThirtyNineCharacters) {
    const std::size_t lengths[] = {0, 1, 38, 39, 40, 41, 100};
    for (std::size_t length : lengths) {
        const std::string text(length, 'q');
        char field[kSnkFieldSize];
        std::memset(field, '#', sizeof field);
        CopyEnrolField(field, text.c_str());
        const std::size_t kept = length < 39 ? length : 39;
        EXPECT_EQ(std::string(field), text.substr(0, kept));
        for (std::size_t i = kept; i < kSnkFieldSize; ++i)
            EXPECT_EQ(field[i], 0) << i;
    }
}

std::string Enrol(const char* seed, const char* password, const char* confirm) {
    std::uint8_t record[kSnkRecordSize];
    std::memset(record, 0xAA, sizeof record);
    const EnrolRefusal refusal = EnrolSnkSeed(seed, password, confirm, record);
    return refusal == EnrolRefusal::None ? ToHex(record, sizeof record) : "refused";
}

TEST(SnkEnrol, EnrolsVectors) {
    for (const SnkVector& v : kSnkVectors) {
        EXPECT_EQ(Enrol(v.seed, v.password, v.password), v.record);
        EXPECT_EQ(Enrol(v.seed, v.password, v.password), Enrol(v.seed, v.password, v.password));
    }
}

TEST(SnkEnrol, RefusalLeavesRecordAlone) {
    std::uint8_t record[kSnkRecordSize];
    std::memset(record, 0xAA, sizeof record);
    EXPECT_EQ(EnrolSnkSeed(kSeed, "a", "A", record), EnrolRefusal::Mismatch);
    for (std::uint8_t b : record)
        EXPECT_EQ(b, 0xAA);
}

TEST(SnkEnrol, SurplusSeedCharactersAreRefused) {
    const SnkVector& v = kSnkVectors[0];
    const std::string seed = std::string(v.seed) + " 777 12"; // 38 characters
    EXPECT_EQ(Enrol(seed.c_str(), v.password, v.password), "refused");
}

TEST(SnkEnrol, MistypedSeedLeavesTheRecordAlone) {
    std::uint8_t record[kSnkRecordSize];
    std::memset(record, 0xAA, sizeof record);
    EXPECT_EQ(EnrolSnkSeed("123 045 377 000 111 222 333 0O1", "pw", "pw", record),
              EnrolRefusal::BadSeed);
    for (std::uint8_t b : record)
        EXPECT_EQ(b, 0xAA);
}

TEST(SnkEnrol, LongPasswordEnrolsItsFirstThirtyNineAndAnswersTypedInFull) {
    const SnkVector& v = kSnkVectors[0];
    const std::string full = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHI"; // 45 characters
    const std::string first39 = full.substr(0, 39);
    std::uint8_t record[kSnkRecordSize];
    ASSERT_EQ(EnrolSnkSeed(v.seed, full.c_str(), full.c_str(), record), EnrolRefusal::None);

    // The main dialog reads up to 63 characters; the first 39 decide, as enrolled.
    const std::string typed[] = {full, first39, first39 + "something else entirely"};
    for (const std::string& password : typed) {
        char response[64] = {};
        EXPECT_EQ(SnkResponseFromRecord(record, sizeof record, "1234", password.c_str(), response),
                  SnkResult::Ok)
            << password;
        EXPECT_STREQ(response, "342436fe");
    }
    char response[64] = {};
    EXPECT_EQ(
        SnkResponseFromRecord(record, sizeof record, "1234", full.substr(0, 38).c_str(), response),
        SnkResult::BadPassword);
    // The confirmation is cut the same way, so it may differ past 39 characters.
    EXPECT_EQ(Enrol(v.seed, full.c_str(), (first39 + "!").c_str()),
              Enrol(v.seed, first39.c_str(), first39.c_str()));
}

} // namespace
