// The reference below uses the plain digest functions, deprecated in OpenSSL 3.
#define OPENSSL_SUPPRESS_DEPRECATED
#include "engine/otp.h"
#include "engine/otp_value.h"
#include "engine/six_words.h"
#include "data_file.h"

#include <gtest/gtest.h>
#include <openssl/md4.h>
#include <openssl/md5.h>
#include <openssl/sha.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace {

HashKind KindNamed(const std::string& name) {
    if (name == "md4") return HashKind::MD4;
    if (name == "md5") return HashKind::MD5;
    return HashKind::SHA1;
}

const char* KindName(HashKind kind) {
    switch (kind) {
    case HashKind::MD4: return "md4";
    case HashKind::MD5: return "md5";
    case HashKind::SHA1: return "sha1";
    default: return "?";
    }
}

std::string Hex(const std::uint8_t value[8]) {
    char text[17];
    for (int i = 0; i < 8; ++i)
        std::snprintf(text + 2 * i, 3, "%02X", value[i]);
    return text;
}

using ComputeFunction = int (*)(std::uint32_t, const char*, const char*, char*);

ComputeFunction ComputeFor(HashKind kind) {
    switch (kind) {
    case HashKind::MD4: return ComputeMd4Otp;
    case HashKind::MD5: return ComputeMd5Otp;
    default: return ComputeSha1Otp;
    }
}

// Straightforward model: whole digests through Init/Update/Final and the
// folds written bytewise, independent of the engine's word-based step.
void ReferenceDigest(HashKind kind, const std::string& bytes, std::uint8_t value[8]) {
    std::uint8_t d[SHA_DIGEST_LENGTH];
    if (kind == HashKind::SHA1) {
        SHA_CTX ctx;
        SHA1_Init(&ctx);
        SHA1_Update(&ctx, bytes.data(), bytes.size());
        SHA1_Final(d, &ctx);
        const int order[8][3] = {{3, 11, 19}, {2, 10, 18}, {1, 9, 17},  {0, 8, 16},
                                 {7, 15, -1}, {6, 14, -1}, {5, 13, -1}, {4, 12, -1}};
        for (int i = 0; i < 8; ++i) {
            value[i] = d[order[i][0]] ^ d[order[i][1]];
            if (order[i][2] >= 0) value[i] ^= d[order[i][2]];
        }
        return;
    }
    if (kind == HashKind::MD4) {
        MD4_CTX ctx;
        MD4_Init(&ctx);
        MD4_Update(&ctx, bytes.data(), bytes.size());
        MD4_Final(d, &ctx);
    } else {
        MD5_CTX ctx;
        MD5_Init(&ctx);
        MD5_Update(&ctx, bytes.data(), bytes.size());
        MD5_Final(d, &ctx);
    }
    for (int i = 0; i < 8; ++i)
        value[i] = d[i] ^ d[i + 8];
}

void ReferenceOtp(HashKind kind, std::uint32_t count, const std::string& seed,
                  const std::string& passPhrase, std::uint8_t value[8]) {
    ReferenceDigest(kind, seed + passPhrase, value);
    for (std::uint32_t i = 0; i < count; ++i) {
        ReferenceDigest(kind, std::string(reinterpret_cast<const char*>(value), 8), value);
    }
}

TEST(RfcVectorFile, HoldsEveryVector) {
    EXPECT_EQ(kRfc2289VectorCount, ReadRfc2289Vectors().size())
        << "tests/data/rfc2289-vectors.tsv unreadable or malformed";
}

class RfcVector : public ::testing::TestWithParam<Rfc2289Vector> {};

TEST_P(RfcVector, OtpValueMatchesHex) {
    const Rfc2289Vector& v = GetParam();
    std::uint8_t value[8];
    ASSERT_EQ(kOtpOk, ComputeOtpValue(KindNamed(v.hash), v.count, v.seed.c_str(),
                                      v.passPhrase.c_str(), value));
    EXPECT_EQ(v.hex, Hex(value));
}

TEST_P(RfcVector, ResponseMatchesSixWords) {
    const Rfc2289Vector& v = GetParam();
    char response[kResponseSize] = {};
    ASSERT_EQ(kOtpOk, ComputeFor(KindNamed(v.hash))(v.count, v.seed.c_str(), v.passPhrase.c_str(),
                                                    response));
    EXPECT_EQ(v.words, response);
}

TEST_P(RfcVector, ReferenceModelAgrees) {
    const Rfc2289Vector& v = GetParam();
    std::uint8_t value[8];
    ReferenceOtp(KindNamed(v.hash), v.count, v.seed, v.passPhrase, value);
    EXPECT_EQ(v.hex, Hex(value));
}

INSTANTIATE_TEST_SUITE_P(Rfc2289, RfcVector, ::testing::ValuesIn(ReadRfc2289Vectors()),
                         [](const ::testing::TestParamInfo<Rfc2289Vector>& param) {
                             return param.param.hash + "_" + std::to_string(param.index);
                         });

// Seeds and pass phrases are hashed byte for byte: no case folding, no
// stripping of the eighth bit.
TEST(Otp, BytesAreHashedAsTyped) {
    const struct {
        const char* seed[2];
        const char* passPhrase[2];
    } cases[] = {
        {{"test", "TeSt"}, {"This is a test.", "This is a test."}},
        {{"seed", "seed"}, {"p\xe1ss", "p\x61ss"}},
    };
    for (const auto& c : cases) {
        for (HashKind kind : {HashKind::MD4, HashKind::MD5, HashKind::SHA1}) {
            std::uint8_t value[2][8];
            for (int i = 0; i < 2; ++i)
                ASSERT_EQ(kOtpOk, ComputeOtpValue(kind, 1, c.seed[i], c.passPhrase[i], value[i]));
            EXPECT_NE(Hex(value[0]), Hex(value[1])) << KindName(kind) << ' ' << c.seed[1];
        }
    }
}

TEST(Otp, Sha1FoldOfAbc) {
    // Seed and pass phrase are concatenated, so "ab" + "c" hashes "abc".
    std::uint8_t value[8];
    ASSERT_EQ(kOtpOk, ComputeOtpValue(HashKind::SHA1, 0, "ab", "c", value));
    EXPECT_EQ("DAC3778F0643563F", Hex(value));
}

TEST(Otp, CountZeroIsTheCrunchAlone) {
    for (HashKind kind : {HashKind::MD4, HashKind::MD5, HashKind::SHA1}) {
        std::uint8_t value[8], expected[8];
        ASSERT_EQ(kOtpOk, ComputeOtpValue(kind, 0, "alpha1", "AbCdEfGhIjK", value));
        ReferenceDigest(kind, "alpha1AbCdEfGhIjK", expected);
        EXPECT_EQ(Hex(expected), Hex(value)) << KindName(kind);
    }
}

struct CrunchLimitCase {
    HashKind kind;
    std::size_t seedLength;
    std::size_t passLength;
    int result;
};

const CrunchLimitCase kCrunchLimitCases[] = {
    {HashKind::MD4, 0, 64, kOtpOk},
    {HashKind::MD4, 9, 55, kOtpOk},
    {HashKind::MD4, 64, 0, kOtpOk},
    {HashKind::MD4, 9, 56, kOtpCrunchFailed},
    {HashKind::MD4, 1, 64, kOtpCrunchFailed},
    {HashKind::MD4, 65, 0, kOtpCrunchFailed},
    {HashKind::MD4, 300, 300, kOtpCrunchFailed},
    {HashKind::MD5, 9, 56, kOtpOk},
    {HashKind::MD5, 300, 300, kOtpOk},
    {HashKind::SHA1, 9, 56, kOtpOk},
    {HashKind::SHA1, 300, 300, kOtpOk},
};

class CrunchLimit : public ::testing::TestWithParam<CrunchLimitCase> {};

TEST_P(CrunchLimit, AcceptsOrRefuses) {
    const CrunchLimitCase& c = GetParam();
    const std::string seed(c.seedLength, 's');
    const std::string pass(c.passLength, 'p');
    char response[kResponseSize] = {};
    ASSERT_EQ(c.result, ComputeFor(c.kind)(5, seed.c_str(), pass.c_str(), response));
    if (c.result == kOtpOk) {
        std::uint8_t expected[8];
        ReferenceOtp(c.kind, 5, seed, pass, expected);
        EXPECT_STREQ(EncodeSixWords(expected), response);
    } else {
        for (char byte : response)
            ASSERT_EQ(0, byte) << "response touched on failure";
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, CrunchLimit, ::testing::ValuesIn(kCrunchLimitCases));

TEST(Otp, RefusedCrunchLeavesValueUntouched) {
    std::uint8_t value[8];
    std::memset(value, 0xA5, sizeof value);
    const std::string pass(65, 'p');
    ASSERT_EQ(kOtpCrunchFailed, ComputeOtpValue(HashKind::MD4, 1, "", pass.c_str(), value));
    EXPECT_EQ("A5A5A5A5A5A5A5A5", Hex(value));
}

struct ReferenceCase {
    const char* seed;
    const char* passPhrase;
    std::uint32_t count;
};

// High-bit bytes must reach the hash unchanged, whatever the signedness of char.
const ReferenceCase kReferenceCases[] = {
    {"ke1234", "\xff\x80\xe9t\xe9 secret", 0},
    {"ke1234", "\xff\x80\xe9t\xe9 secret", 3},
    {"\xe4\xf6\xfc", "pass", 1},
    {"", "", 0},
    {"", "", 2},
    // 1 + 63 bytes: the dialog's longest pass phrase, at the MD4 limit.
    {"s", "a pass phrase of exactly sixty-three characters for the dialog!", 10},
    {"s", "x", 257},
};

class ReferenceModel : public ::testing::TestWithParam<ReferenceCase> {};

TEST_P(ReferenceModel, AllKindsAgree) {
    const ReferenceCase& c = GetParam();
    for (HashKind kind : {HashKind::MD4, HashKind::MD5, HashKind::SHA1}) {
        std::uint8_t value[8], expected[8];
        ASSERT_EQ(kOtpOk, ComputeOtpValue(kind, c.count, c.seed, c.passPhrase, value));
        ReferenceOtp(kind, c.count, c.seed, c.passPhrase, expected);
        EXPECT_EQ(Hex(expected), Hex(value)) << KindName(kind) << " count " << c.count;
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, ReferenceModel, ::testing::ValuesIn(kReferenceCases));

TEST(Otp, StepsContinueTheChain) {
    // count n+m equals n steps followed by m more from the bare step loop.
    void (*const steps[])(std::uint8_t*, std::uint32_t) = {Md4Steps, Md5Steps, Sha1Steps};
    const HashKind kinds[] = {HashKind::MD4, HashKind::MD5, HashKind::SHA1};
    for (int k = 0; k < 3; ++k) {
        std::uint8_t split[8], whole[8];
        ASSERT_EQ(kOtpOk, ComputeOtpValue(kinds[k], 40, "correct", "OTP's are good", split));
        steps[k](split, 59);
        ASSERT_EQ(kOtpOk, ComputeOtpValue(kinds[k], 99, "correct", "OTP's are good", whole));
        EXPECT_EQ(Hex(whole), Hex(split)) << KindName(kinds[k]);
    }
}

TEST(Otp, LongestResponseFitsWithItsTerminator) {
    // Six four-letter words: 29 characters, the most a response can hold.
    char response[kResponseSize];
    std::memset(response, 0x55, sizeof response);
    ASSERT_EQ(kOtpOk, ComputeMd5Otp(0, "test", "This is a test.1", response));
    EXPECT_STREQ("SEWN SILO FILM GENT ANTI BRAD", response);
    EXPECT_EQ(29u, std::strlen(response));
    EXPECT_EQ(0x55, response[30]) << "wrote past the terminator";
}

TEST(Otp, NullArgumentsAreRefused) {
    char response[kResponseSize] = {};
    EXPECT_EQ(kOtpCrunchFailed, ComputeMd5Otp(1, nullptr, "p", response));
    EXPECT_EQ(kOtpCrunchFailed, ComputeMd4Otp(1, "s", nullptr, response));
    EXPECT_EQ(kOtpCrunchFailed, ComputeSha1Otp(1, "s", "p", nullptr));
    for (char byte : response)
        ASSERT_EQ(0, byte);
}

struct SliceCase {
    std::uint32_t count;
    std::uint32_t sliceSteps;
};

// Counts at and around the boundaries of the real slice and of a small one.
const SliceCase kSliceCases[] = {
    {0, kOtpSliceSteps},
    {1, kOtpSliceSteps},
    {kOtpSliceSteps - 1, kOtpSliceSteps},
    {kOtpSliceSteps, kOtpSliceSteps},
    {kOtpSliceSteps + 1, kOtpSliceSteps},
    {2 * kOtpSliceSteps + 1, kOtpSliceSteps},
    {6, 7},
    {7, 7},
    {8, 7},
    {14, 7},
    {15, 7},
    {99, 1},
};

class Sliced : public ::testing::TestWithParam<SliceCase> {};

TEST_P(Sliced, GivesTheOneShotWords) {
    const SliceCase& c = GetParam();
    for (HashKind kind : {HashKind::MD4, HashKind::MD5, HashKind::SHA1}) {
        char whole[kResponseSize] = {};
        char sliced[kResponseSize] = {};
        OtpProgress progress;
        ASSERT_EQ(kOtpOk, ComputeFor(kind)(c.count, "test", "This is a test.", whole));
        ASSERT_EQ(kOtpOk, ComputeOtpInSlices(kind, c.count, "test", "This is a test.", sliced,
                                             progress, c.sliceSteps));
        EXPECT_STREQ(whole, sliced) << KindName(kind) << " count " << c.count;
        EXPECT_EQ(c.count, progress.stepsDone.load()) << KindName(kind);
    }
}

INSTANTIATE_TEST_SUITE_P(Boundaries, Sliced, ::testing::ValuesIn(kSliceCases));

TEST(Sliced, StopBeforeTheFirstSliceGivesNothing) {
    for (HashKind kind : {HashKind::MD4, HashKind::MD5, HashKind::SHA1}) {
        char response[kResponseSize];
        std::memset(response, 0x55, sizeof response);
        OtpProgress progress;
        progress.stopRequested = true;
        EXPECT_EQ(kOtpStopped,
                  ComputeOtpInSlices(kind, 3, "test", "This is a test.", response, progress, 1));
        EXPECT_EQ(0u, progress.stepsDone.load());
        for (char byte : response)
            ASSERT_EQ(0x55, byte) << "response touched by a stopped computation";
    }
}

// The longest count, stopped from another thread once it is under way: the call returns
// between two slices, long before the end, and leaves the response alone.
TEST(Sliced, StopFromAnotherThreadEndsItBetweenSlices) {
    constexpr std::uint32_t kLongest = 999999999;
    char response[kResponseSize];
    std::memset(response, 0x55, sizeof response);
    OtpProgress progress;
    std::thread watcher([&progress] {
        while (progress.stepsDone.load() == 0)
            std::this_thread::yield();
        progress.stopRequested = true;
    });
    const int result =
        ComputeOtpInSlices(HashKind::MD5, kLongest, "test", "This is a test.", response, progress);
    watcher.join();
    EXPECT_EQ(kOtpStopped, result);
    EXPECT_EQ(0u, progress.stepsDone.load() % kOtpSliceSteps) << "stopped inside a slice";
    EXPECT_LT(progress.stepsDone.load(), kLongest);
    for (char byte : response)
        ASSERT_EQ(0x55, byte) << "response touched by a stopped computation";
}

TEST(Sliced, RefusedCrunchRunsNoStep) {
    char response[kResponseSize] = {};
    OtpProgress progress;
    const std::string pass(65, 'p');
    EXPECT_EQ(kOtpCrunchFailed,
              ComputeOtpInSlices(HashKind::MD4, 5, "", pass.c_str(), response, progress));
    EXPECT_EQ(0u, progress.stepsDone.load());
    EXPECT_STREQ("", response);
}

} // namespace
