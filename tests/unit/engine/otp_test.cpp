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
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Vector {
    HashKind kind;
    const char* passPhrase;
    const char* seed;
    std::uint32_t count;
    const char* hex;
    const char* words;
};

// RFC 2289 appendix C, seeds in lower case because they are hashed as typed.
const Vector kVectors[] = {
    {HashKind::MD4, "This is a test.", "test", 0, "D1854218EBBB0B51",
     "ROME MUG FRED SCAN LIVE LACE"},
    {HashKind::MD4, "This is a test.", "test", 1, "63473EF01CD0B444", "CARD SAD MINI RYE COL KIN"},
    {HashKind::MD4, "This is a test.", "test", 99, "C5E612776E6C237A",
     "NOTE OUT IBIS SINK NAVE MODE"},
    {HashKind::MD4, "AbCdEfGhIjK", "alpha1", 0, "50076F47EB1ADE4E", "AWAY SEN ROOK SALT LICE MAP"},
    {HashKind::MD4, "AbCdEfGhIjK", "alpha1", 1, "65D20D1949B5F7AB", "CHEW GRIM WU HANG BUCK SAID"},
    {HashKind::MD4, "AbCdEfGhIjK", "alpha1", 99, "D150C82CCE6F62D1",
     "ROIL FREE COG HUNK WAIT COCA"},
    {HashKind::MD4, "OTP's are good", "correct", 0, "849C79D4F6F55388",
     "FOOL STEM DONE TOOL BECK NILE"},
    {HashKind::MD4, "OTP's are good", "correct", 1, "8C0992FB250847B1",
     "GIST AMOS MOOT AIDS FOOD SEEM"},
    {HashKind::MD4, "OTP's are good", "correct", 99, "3F3BF4B4145FD74B",
     "TAG SLOW NOV MIN WOOL KENO"},
    {HashKind::MD5, "This is a test.", "test", 0, "9E876134D90499DD",
     "INCH SEA ANNE LONG AHEM TOUR"},
    {HashKind::MD5, "This is a test.", "test", 1, "7965E05436F5029F",
     "EASE OIL FUM CURE AWRY AVIS"},
    {HashKind::MD5, "This is a test.", "test", 99, "50FE1962C4965880",
     "BAIL TUFT BITS GANG CHEF THY"},
    {HashKind::MD5, "AbCdEfGhIjK", "alpha1", 0, "87066DD9644BF206", "FULL PEW DOWN ONCE MORT ARC"},
    {HashKind::MD5, "AbCdEfGhIjK", "alpha1", 1, "7CD34C1040ADD14B", "FACT HOOF AT FIST SITE KENT"},
    {HashKind::MD5, "AbCdEfGhIjK", "alpha1", 99, "5AA37A81F212146C", "BODE HOP JAKE STOW JUT RAP"},
    {HashKind::MD5, "OTP's are good", "correct", 0, "F205753943DE4CF9",
     "ULAN NEW ARMY FUSE SUIT EYED"},
    {HashKind::MD5, "OTP's are good", "correct", 1, "DDCDAC956F234937",
     "SKIM CULT LOB SLAM POE HOWL"},
    {HashKind::MD5, "OTP's are good", "correct", 99, "B203E28FA525BE47",
     "LONG IVY JULY AJAR BOND LEE"},
    {HashKind::SHA1, "This is a test.", "test", 0, "BB9E6AE1979D8FF4",
     "MILT VARY MAST OK SEES WENT"},
    {HashKind::SHA1, "This is a test.", "test", 1, "63D936639734385B",
     "CART OTTO HIVE ODE VAT NUT"},
    {HashKind::SHA1, "This is a test.", "test", 99, "87FEC7768B73CCF9",
     "GAFF WAIT SKID GIG SKY EYED"},
    {HashKind::SHA1, "AbCdEfGhIjK", "alpha1", 0, "AD85F658EBE383C9", "LEST OR HEEL SCOT ROB SUIT"},
    {HashKind::SHA1, "AbCdEfGhIjK", "alpha1", 1, "D07CE229B5CF119B",
     "RITE TAKE GELD COST TUNE RECK"},
    {HashKind::SHA1, "AbCdEfGhIjK", "alpha1", 99, "27BC71035AAF3DC6",
     "MAY STAR TIN LYON VEDA STAN"},
    {HashKind::SHA1, "OTP's are good", "correct", 0, "D51F3E99BF8E6F0B",
     "RUST WELT KICK FELL TAIL FRAU"},
    {HashKind::SHA1, "OTP's are good", "correct", 1, "82AEB52D943774E4",
     "FLIT DOSE ALSO MEW DRUM DEFY"},
    {HashKind::SHA1, "OTP's are good", "correct", 99, "4F296A74FE1567EC",
     "AURA ALOE HURL WING BERG WAIT"},
};

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

class RfcVector : public ::testing::TestWithParam<Vector> {};

TEST_P(RfcVector, OtpValueMatchesHex) {
    const Vector& v = GetParam();
    std::uint8_t value[8];
    ASSERT_EQ(kOtpOk, ComputeOtpValue(v.kind, v.count, v.seed, v.passPhrase, value));
    EXPECT_EQ(v.hex, Hex(value));
}

TEST_P(RfcVector, ResponseMatchesSixWords) {
    const Vector& v = GetParam();
    char response[kResponseSize] = {};
    ASSERT_EQ(kOtpOk, ComputeFor(v.kind)(v.count, v.seed, v.passPhrase, response));
    EXPECT_STREQ(v.words, response);
}

TEST_P(RfcVector, ReferenceModelAgrees) {
    const Vector& v = GetParam();
    std::uint8_t value[8];
    ReferenceOtp(v.kind, v.count, v.seed, v.passPhrase, value);
    EXPECT_EQ(v.hex, Hex(value));
}

INSTANTIATE_TEST_SUITE_P(Rfc2289, RfcVector, ::testing::ValuesIn(kVectors),
                         [](const ::testing::TestParamInfo<Vector>& param) {
                             return std::string(KindName(param.param.kind)) + "_" +
                                    std::to_string(param.index);
                         });

TEST(RfcVectorFile, EmbeddedTableMatchesVectorFile) {
    std::string contents, path;
    ASSERT_TRUE(ReadDataFile("rfc2289-vectors.tsv", &contents, &path)) << "cannot read " << path;
    std::istringstream lines(contents);
    std::string line;
    int matched = 0;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');)
            fields.push_back(cell);
        ASSERT_EQ(6u, fields.size()) << line;
        std::string seed = fields[2];
        for (char& c : seed)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        bool found = false;
        for (const Vector& v : kVectors) {
            if (fields[0] == KindName(v.kind) && fields[1] == v.passPhrase && seed == v.seed &&
                std::stoul(fields[3]) == v.count) {
                EXPECT_EQ(fields[4], v.hex) << line;
                EXPECT_EQ(fields[5], v.words) << line;
                found = true;
            }
        }
        EXPECT_TRUE(found) << "not in the embedded table: " << line;
        matched += found ? 1 : 0;
    }
    EXPECT_EQ(27, matched);
}

TEST(Otp, SeedIsHashedAsTyped) {
    for (HashKind kind : {HashKind::MD4, HashKind::MD5, HashKind::SHA1}) {
        std::uint8_t lower[8], typed[8];
        ASSERT_EQ(kOtpOk, ComputeOtpValue(kind, 0, "test", "This is a test.", lower));
        ASSERT_EQ(kOtpOk, ComputeOtpValue(kind, 0, "TeSt", "This is a test.", typed));
        EXPECT_NE(Hex(lower), Hex(typed)) << KindName(kind);
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

TEST(Otp, EighthBitIsNotStripped) {
    for (HashKind kind : {HashKind::MD4, HashKind::MD5, HashKind::SHA1}) {
        std::uint8_t high[8], low[8];
        ASSERT_EQ(kOtpOk, ComputeOtpValue(kind, 1, "seed", "p\xe1ss", high));
        ASSERT_EQ(kOtpOk, ComputeOtpValue(kind, 1, "seed", "p\x61ss", low));
        EXPECT_NE(Hex(high), Hex(low)) << KindName(kind);
    }
}

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

} // namespace
