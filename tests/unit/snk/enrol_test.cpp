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
    int result;
    const char* message;
};

const char kSeed[] = "123 045 377 000 111 222 333 001";
const char kSeedFormat[] = "An SNK seed is eight groups of three octal digits separated by "
                           "blanks,\nsuch as 123 045 377 000 111 222 333 001.";

const FieldCase kFieldCases[] = {
    {"", "", "", 2, "You must enter a seed value."},
    {"", "pw", "pw", 2, "You must enter a seed value."},
    {kSeed, "", "", 3, "Please enter a password."},
    {kSeed, "", "pw", 3, "Please enter a password."},
    {kSeed, "pw", "", 4, "Please confirm the password."},
    {kSeed, "Secret", "secret", 4, "Passwords mismatch."},
    {kSeed, "pw", "pw ", 4, "Passwords mismatch."},
    {kSeed, "pw", "pw", 0, nullptr},
    // The seed's format is checked before anything else is looked at.
    {"s", "", "", 2, kSeedFormat},
    {"123 045 377 000 111 222 333 01", "pw", "pw", 2, kSeedFormat},
    {"123 045 377 000 111 222 333 001 ", "pw", "pw", 2, kSeedFormat},
    {"123 045 377 000 111 222 333 400", "pw", "pw", 2, kSeedFormat},
    {"123 045 377 000\t111 222 333 001", "pw", "pw", 2, kSeedFormat},
    {"123-045-377-000-111-222-333-001", "pw", "pw", 2, kSeedFormat},
};

TEST(SnkEnrol, FieldChecksInOrder) {
    for (const FieldCase& c : kFieldCases) {
        const EnrolCheck check = CheckEnrolFields(c.seed, c.password, c.confirm);
        EXPECT_EQ(check.result, c.result) << c.seed << '|' << c.password << '|' << c.confirm;
        if (c.message == nullptr) {
            EXPECT_EQ(check.message, nullptr);
        } else {
            EXPECT_STREQ(check.message, c.message);
        }
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
    const EnrolCheck check = EnrolSnkSeed(seed, password, confirm, record);
    return check.result == 0 ? ToHex(record, sizeof record) : "refused";
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
    EXPECT_EQ(EnrolSnkSeed(kSeed, "a", "A", record).result, 4);
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
    const EnrolCheck check = EnrolSnkSeed("123 045 377 000 111 222 333 0O1", "pw", "pw", record);
    EXPECT_EQ(check.result, 2);
    EXPECT_STREQ(check.message, kSeedFormat);
    for (std::uint8_t b : record)
        EXPECT_EQ(b, 0xAA);
}

TEST(SnkEnrol, LongPasswordEnrolsItsFirstThirtyNineAndAnswersTypedInFull) {
    const SnkVector& v = kSnkVectors[0];
    const std::string full = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHI"; // 45 characters
    const std::string first39 = full.substr(0, 39);
    std::uint8_t record[kSnkRecordSize];
    ASSERT_EQ(EnrolSnkSeed(v.seed, full.c_str(), full.c_str(), record).result, 0);

    // The main dialog reads up to 63 characters; the first 39 decide, as enrolled.
    const std::string typed[] = {full, first39, first39 + "something else entirely"};
    for (const std::string& password : typed) {
        char response[64] = {};
        EXPECT_EQ(
            SnkResponseFromRecord(true, record, sizeof record, "1234", password.c_str(), response),
            SnkResult::Ok)
            << password;
        EXPECT_STREQ(response, "342436fe");
    }
    char response[64] = {};
    EXPECT_EQ(SnkResponseFromRecord(true, record, sizeof record, "1234", full.substr(0, 38).c_str(),
                                    response),
              SnkResult::BadPassword);
    // The confirmation is cut the same way, so it may differ past 39 characters.
    EXPECT_EQ(Enrol(v.seed, full.c_str(), (first39 + "!").c_str()),
              Enrol(v.seed, first39.c_str(), first39.c_str()));
}

} // namespace
