#include "snk/snk_record.h"

#include <gtest/gtest.h>

#include "snk/snk_seed.h"
#include "snk_vectors.h"

namespace {

std::string Encrypt(const char* seed, const char* password) {
    std::uint8_t record[kSnkRecordSize];
    for (auto& b : record)
        b = 0xAA; // stale bytes must not survive
    EncryptSnkRecord(seed, password, record);
    return ToHex(record, kSnkRecordSize);
}

TEST(SnkRecord, EncryptsVectors) {
    for (const SnkVector& v : kSnkVectors)
        EXPECT_EQ(Encrypt(v.seed, v.password), v.record);
}

TEST(SnkRecord, ShortTextsAreZeroFilled) {
    EXPECT_EQ(Encrypt("123 045 377 000 111 222 333 00", "secret pw"),
              "3c6f106582fef2265483c468c9da85b8ea3d318ae4e06fba38e378083c4700");
    EXPECT_EQ(Encrypt("hello", "secret pw"), "65384f29dd" + std::string(52, '0'));
}

TEST(SnkRecord, LongTextStopsAtThirtyOneBytes) {
    const std::string seed = std::string(kSnkVectors[0].seed) + " 777 12"; // 38 characters
    std::uint8_t buffer[kSnkFieldSize];
    for (auto& b : buffer)
        b = 0xAA;
    EncryptSnkRecord(seed.c_str(), kSnkVectors[0].password, buffer);
    EXPECT_EQ(ToHex(buffer, kSnkRecordSize), kSnkVectors[0].record);
    for (std::size_t i = kSnkRecordSize; i < sizeof buffer; ++i)
        EXPECT_EQ(buffer[i], 0xAA) << i;
}

TEST(SnkRecord, DecryptsVectorsToTheirKeys) {
    for (const SnkVector& v : kSnkVectors) {
        const auto record = FromHex(v.record);
        std::uint8_t key[8] = {};
        std::uint8_t expected[8] = {};
        SnkSeedToKey(v.seed, expected);
        ASSERT_TRUE(DecryptSnkRecord(record.data(), record.size(), v.password, key)) << v.seed;
        EXPECT_EQ(ToHex(key, 8), ToHex(expected, 8));
    }
}

TEST(SnkRecord, RefusesWithoutTouchingKey) {
    const auto good = FromHex(kSnkVectors[0].record);
    auto longer = good;
    longer.push_back(0);
    const std::string badSeed = Encrypt("hello", "secret pw");
    const auto badSeedRecord = FromHex(badSeed);
    const auto thirty = FromHex(Encrypt("123 045 377 000 111 222 333 00", "secret pw"));
    struct Case {
        const char* what;
        const std::uint8_t* record;
        std::size_t length;
        const char* password;
    } cases[] = {
        {"wrong password", good.data(), good.size(), "secret pW"},
        {"password with a trailing blank", good.data(), good.size(), "secret pw "},
        {"record of 30 bytes", good.data(), 30, "secret pw"},
        {"empty record", good.data(), 0, "secret pw"},
        {"record of 32 bytes", longer.data(), longer.size(), "secret pw"},
        {"badly formed seed", badSeedRecord.data(), badSeedRecord.size(), "secret pw"},
        {"seed of 30 characters", thirty.data(), thirty.size(), "secret pw"},
    };
    for (const Case& c : cases) {
        std::uint8_t key[8] = {1, 2, 3, 4, 5, 6, 7, 8};
        EXPECT_FALSE(DecryptSnkRecord(c.record, c.length, c.password, key)) << c.what;
        EXPECT_EQ(ToHex(key, 8), "0102030405060708") << c.what;
    }
}

} // namespace
