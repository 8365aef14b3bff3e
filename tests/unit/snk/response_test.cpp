#include "snk/snk_response.h"

#include <cstring>

#include <gtest/gtest.h>

#include "snk/snk_enrol.h"
#include "snk/snk_seed.h"
#include "snk_vectors.h"

namespace {

std::string Respond(const char* seed, const char* challenge) {
    std::uint8_t key[8];
    SnkSeedToKey(seed, key);
    char response[kSnkResponseSize + 4];
    std::memset(response, '#', sizeof response);
    SnkChallengeResponse(challenge, key, response);
    EXPECT_EQ(response[kSnkResponseSize], '#') << "wrote past the NUL";
    return response;
}

TEST(SnkResponse, VectorsThroughTheRecord) {
    for (const SnkVector& v : kSnkVectors) {
        const auto record = FromHex(v.record);
        for (int i = 0; i < 3 && v.challenges[i] != nullptr; ++i) {
            char response[64] = {};
            EXPECT_EQ(SnkResponseFromRecord(record.data(), record.size(), v.challenges[i],
                                            v.password, response),
                      SnkResult::Ok);
            EXPECT_STREQ(response, v.responses[i]) << v.seed << " / " << v.challenges[i];
        }
    }
}

TEST(SnkResponse, OnlyTheFirstEightCharactersCount) {
    const char* seed = "123 045 377 000 111 222 333 001";
    EXPECT_EQ(Respond(seed, "abcdefgh"), Respond(seed, "abcdefghi"));
    EXPECT_NE(Respond(seed, "abcdefg"), Respond(seed, "abcdefgh"));
}

TEST(SnkResponse, KeyParityBitsAreIgnored) {
    struct Pair {
        const char* a;
        const char* b;
    } pairs[] = {
        {"123 045 377 000 111 222 333 001", "122 045 377 000 111 222 333 001"},
        {"123 045 377 000 111 222 333 001", "123 045 377 000 111 222 333 000"},
        {"020 377 377 377 377 377 377 377", "021 376 377 377 377 377 377 377"},
    };
    for (const Pair& p : pairs)
        EXPECT_EQ(Respond(p.a, "1234"), Respond(p.b, "1234")) << p.b;
}

TEST(SnkResponse, AlwaysEightLowerCaseHexDigits) {
    // Over 256 challenges some first ciphertext byte is below 0x10.
    bool sawLeadingZero = false;
    for (int i = 0; i < 256; ++i) {
        const std::string challenge = std::to_string(i * 7919);
        const std::string response = Respond("001 002 003 004 005 006 007 010", challenge.c_str());
        ASSERT_EQ(response.size(), 8u) << challenge;
        EXPECT_EQ(response.find_first_not_of("0123456789abcdef"), std::string::npos) << response;
        sawLeadingZero = sawLeadingZero || response[0] == '0';
    }
    EXPECT_TRUE(sawLeadingZero);
}

TEST(SnkResponse, FailuresLeaveTheResponseAlone) {
    const auto record = FromHex(kSnkVectors[0].record);
    struct Case {
        std::size_t length;
        const char* password;
        SnkResult result;
    } cases[] = {
        {record.size(), "wrong", SnkResult::BadPassword},
        {20, "secret pw", SnkResult::BadPassword},
        {0, "secret pw", SnkResult::BadPassword},
    };
    for (const Case& c : cases) {
        char response[64] = "untouched";
        EXPECT_EQ(SnkResponseFromRecord(record.data(), c.length, "1234", c.password, response),
                  c.result);
        EXPECT_STREQ(response, "untouched");
    }
}

} // namespace
