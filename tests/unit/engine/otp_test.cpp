// The reference below uses the plain digest functions, deprecated in OpenSSL 3.
#define OPENSSL_SUPPRESS_DEPRECATED
#include "engine/challenge.h"
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

// The response of one count as the dialog's long counts work it out: a chain of one value, in
// slices; `response` is written only when it is done.
int ComputeSliced(HashKind kind, std::uint32_t count, const char* seed, const char* passPhrase,
                  char* response, OtpProgress& progress,
                  std::uint32_t sliceSteps = kOtpSliceSteps) {
    OtpChain chain{};
    chain.low = chain.high = count;
    const int result = ComputeOtpChain(kind, seed, passPhrase, chain, progress, sliceSteps);
    if (result == kOtpOk) std::strcpy(response, EncodeSixWords(chain.values[0]));
    return result;
}

constexpr HashKind kHashKinds[] = {HashKind::MD4, HashKind::MD5, HashKind::SHA1};

// For messages: the kind as a remote system names it.
const char* KindName(HashKind kind) {
    return ChallengeKeyword(kind);
}

std::string Hex(const std::uint8_t value[8]) {
    char text[17];
    for (int i = 0; i < 8; ++i)
        std::snprintf(text + 2 * i, 3, "%02X", value[i]);
    return text;
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

// RFC 2289 hashes the seed in lower case; bytes above 127 are no letters of its.
void ReferenceOtp(HashKind kind, std::uint32_t count, const std::string& seed,
                  const std::string& passPhrase, std::uint8_t value[8]) {
    std::string lowered = seed;
    for (char& c : lowered)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    ReferenceDigest(kind, lowered + passPhrase, value);
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
    ASSERT_EQ(kOtpOk,
              ComputeOtpValue(v.kind, v.count, v.seed.c_str(), v.passPhrase.c_str(), value));
    EXPECT_EQ(v.hex, Hex(value));
}

TEST_P(RfcVector, ResponseMatchesSixWords) {
    const Rfc2289Vector& v = GetParam();
    char response[kResponseSize] = {};
    ASSERT_EQ(kOtpOk, ComputeOtp(v.kind, v.count, v.seed.c_str(), v.passPhrase.c_str(), response));
    EXPECT_EQ(v.words, response);
}

TEST_P(RfcVector, ReferenceModelAgrees) {
    const Rfc2289Vector& v = GetParam();
    std::uint8_t value[8];
    ReferenceOtp(v.kind, v.count, v.seed, v.passPhrase, value);
    EXPECT_EQ(v.hex, Hex(value));
}

INSTANTIATE_TEST_SUITE_P(Rfc2289, RfcVector, ::testing::ValuesIn(ReadRfc2289Vectors()),
                         [](const ::testing::TestParamInfo<Rfc2289Vector>& param) {
                             return std::string(KindName(param.param.kind) + 4) + "_" +
                                    std::to_string(param.index);
                         });

// Only the seed's ASCII capitals fold: a pass phrase's case, and bytes above 127 anywhere, are
// hashed as they are.
TEST(Otp, OnlyTheSeedsAsciiCapitalsFold) {
    const struct {
        const char* seed[2];
        const char* passPhrase[2];
        bool same;
    } cases[] = {
        {{"test", "TeSt"}, {"This is a test.", "This is a test."}, true},
        {{"ALPHA1", "alpha1"}, {"AbCdEfGhIjK", "AbCdEfGhIjK"}, true},
        {{"test", "test"}, {"This is a test.", "THIS IS A TEST."}, false},
        {{"s\xc9"
          "ed",
          "s\xe9"
          "ed"},
         {"pass", "pass"},
         false},
        {{"seed", "seed"}, {"p\xe1ss", "p\x61ss"}, false},
        {{"@[`{", "@[`{"}, {"p", "p"}, true},
        {{"@[`{", "`{@["}, {"p", "p"}, false},
    };
    for (const auto& c : cases) {
        for (HashKind kind : kHashKinds) {
            std::uint8_t value[2][8];
            for (int i = 0; i < 2; ++i)
                ASSERT_EQ(kOtpOk, ComputeOtpValue(kind, 1, c.seed[i], c.passPhrase[i], value[i]));
            EXPECT_EQ(c.same, Hex(value[0]) == Hex(value[1]))
                << KindName(kind) << ' ' << c.seed[0] << '/' << c.seed[1];
        }
    }
}

// Heimdal's otpprint, which folds the seed as RFC 2289 asks, gave these words.
struct PeerCase {
    HashKind kind;
    std::uint32_t count;
    const char* seed;
    const char* passPhrase;
    const char* words;
};

const PeerCase kHeimdal[] = {
    {HashKind::MD5, 499, "MyHost1", "correct horse battery", "FELT MINT HECK SLUM SEA DID"},
    {HashKind::MD4, 499, "MyHost1", "correct horse battery", "REST ARTS BILK KUDO SAC WISH"},
    {HashKind::SHA1, 499, "MyHost1", "correct horse battery", "BILE STAN NOB VEIL SCOT LICE"},
    {HashKind::MD5, 95, "AB1234", "A pass phrase", "AVE OWLY SO BOAR BLOC EYED"},
    {HashKind::SHA1, 7, "KeRbErOs16CHARSX", "This is a test.", "ARID BUM DOOR TEAL KITE NOOK"},
    {HashKind::MD4, 1, "Z9", "OTP's are good", "ELSE PA GARY RIDE LAID MIKE"},
    {HashKind::MD5, 5,
     "Se\xc9"
     "D",
     "pass", "EROS BONY RICK LOSE LOAN CLAY"},
    {HashKind::SHA1, 100001, "XyZ0", "long count", "GUY NINE LUCK BE JACK LAYS"},
};

TEST(Otp, MixedCaseSeedsGiveTheWordsOfAPeer) {
    for (const PeerCase& c : kHeimdal) {
        char response[kResponseSize] = {};
        ASSERT_EQ(kOtpOk, ComputeOtp(c.kind, c.count, c.seed, c.passPhrase, response));
        EXPECT_STREQ(c.words, response) << KindName(c.kind) << ' ' << c.count << ' ' << c.seed;
        char sliced[kResponseSize] = {};
        OtpProgress progress;
        ASSERT_EQ(kOtpOk,
                  ComputeSliced(c.kind, c.count, c.seed, c.passPhrase, sliced, progress, 1000));
        EXPECT_STREQ(c.words, sliced) << "sliced " << c.seed;
    }
}

TEST(Otp, Sha1FoldOfAbc) {
    // Seed and pass phrase are concatenated, so "ab" + "c" hashes "abc".
    std::uint8_t value[8];
    ASSERT_EQ(kOtpOk, ComputeOtpValue(HashKind::SHA1, 0, "ab", "c", value));
    EXPECT_EQ("DAC3778F0643563F", Hex(value));
}

TEST(Otp, CountZeroIsTheCrunchAlone) {
    for (HashKind kind : kHashKinds) {
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
    ASSERT_EQ(c.result, ComputeOtp(c.kind, 5, seed.c_str(), pass.c_str(), response));
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
    for (HashKind kind : kHashKinds) {
        std::uint8_t value[8], expected[8];
        ASSERT_EQ(kOtpOk, ComputeOtpValue(kind, c.count, c.seed, c.passPhrase, value));
        ReferenceOtp(kind, c.count, c.seed, c.passPhrase, expected);
        EXPECT_EQ(Hex(expected), Hex(value)) << KindName(kind) << " count " << c.count;
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, ReferenceModel, ::testing::ValuesIn(kReferenceCases));

TEST(Otp, StepsContinueTheChain) {
    // count n+m equals n steps followed by m more from the bare step loop.
    for (HashKind kind : kHashKinds) {
        std::uint8_t split[8], whole[8];
        ASSERT_EQ(kOtpOk, ComputeOtpValue(kind, 40, "correct", "OTP's are good", split));
        OtpSteps(kind, split, 59);
        ASSERT_EQ(kOtpOk, ComputeOtpValue(kind, 99, "correct", "OTP's are good", whole));
        EXPECT_EQ(Hex(whole), Hex(split)) << KindName(kind);
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
    for (HashKind kind : kHashKinds) {
        char whole[kResponseSize] = {};
        char sliced[kResponseSize] = {};
        OtpProgress progress;
        ASSERT_EQ(kOtpOk, ComputeOtp(kind, c.count, "test", "This is a test.", whole));
        ASSERT_EQ(kOtpOk, ComputeSliced(kind, c.count, "test", "This is a test.", sliced, progress,
                                        c.sliceSteps));
        EXPECT_STREQ(whole, sliced) << KindName(kind) << " count " << c.count;
        EXPECT_EQ(c.count, progress.stepsDone.load()) << KindName(kind);
    }
}

INSTANTIATE_TEST_SUITE_P(Boundaries, Sliced, ::testing::ValuesIn(kSliceCases));

TEST(Sliced, StopBeforeTheFirstSliceGivesNothing) {
    for (HashKind kind : kHashKinds) {
        char response[kResponseSize];
        std::memset(response, 0x55, sizeof response);
        OtpProgress progress;
        progress.stopRequested = true;
        EXPECT_EQ(kOtpStopped,
                  ComputeSliced(kind, 3, "test", "This is a test.", response, progress, 1));
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
        ComputeSliced(HashKind::MD5, kLongest, "test", "This is a test.", response, progress);
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
              ComputeSliced(HashKind::MD4, 5, "", pass.c_str(), response, progress));
    EXPECT_EQ(0u, progress.stepsDone.load());
    EXPECT_STREQ("", response);
}

// A chain keeps each RFC vector's value wherever the count lies: in its run of values, or as
// the check below or above them; every value of the run is the single response of its count.
// Slices of 7 steps end inside the run and between the kept counts.
TEST_P(RfcVector, ChainKeepsTheValueInItsRunAndAsItsCheck) {
    const Rfc2289Vector& v = GetParam();
    const std::uint32_t runs[][3] = {
        {0, 99, 0}, {v.count + 3, v.count + 40, v.count}, {0, v.count / 2, v.count}};
    for (const auto& run : runs) {
        OtpChain chain{run[0], run[1], run[2], {}, {}};
        OtpProgress progress;
        ASSERT_EQ(kOtpOk, ComputeOtpChain(v.kind, v.seed.c_str(), v.passPhrase.c_str(), chain,
                                          progress, 7));
        EXPECT_EQ(OtpChainSteps(chain), progress.stepsDone.load());
        const bool inRun = v.count >= chain.low && v.count <= chain.high;
        EXPECT_EQ(v.hex, Hex(inRun ? chain.values[v.count - chain.low] : chain.checkValue))
            << "run " << chain.low << ".." << chain.high << " check " << chain.check;
        for (std::uint32_t count = chain.low; count <= chain.high; ++count) {
            char words[kResponseSize] = {};
            ASSERT_EQ(kOtpOk,
                      ComputeOtp(v.kind, count, v.seed.c_str(), v.passPhrase.c_str(), words));
            ASSERT_STREQ(words, EncodeSixWords(chain.values[count - chain.low])) << count;
        }
    }
}

TEST(Chain, RefusesMoreThanItsLimitAndWipesWhatAStopLeft) {
    OtpProgress progress;
    OtpChain chain{5, 5 + kChainLimit, 0, {}, {}};
    EXPECT_EQ(kOtpCrunchFailed, ComputeOtpChain(HashKind::MD5, "test", "pass", chain, progress));
    // Stopped before its first step, with the crunch already kept as count 0.
    chain = OtpChain{0, 99, 1000, {}, {}};
    progress.stopRequested = true;
    EXPECT_EQ(kOtpStopped, ComputeOtpChain(HashKind::MD5, "test", "pass", chain, progress));
    const OtpChain wiped{0, 99, 1000, {}, {}};
    EXPECT_EQ(0, std::memcmp(&wiped, &chain, sizeof chain)) << "values left by a stopped chain";
}

} // namespace
