// MD4_*, MD5_*, SHA1_* and their block functions are deprecated in OpenSSL 3.
#define OPENSSL_SUPPRESS_DEPRECATED
#include "engine/otp.h"
#include "engine/ascii.h"
#include "engine/otp_value.h"
#include "engine/six_words.h"

#include <cstring>

#include <openssl/crypto.h>
#include <openssl/md4.h>
#include <openssl/md5.h>
#include <openssl/sha.h>

#if defined(__GNUC__) && defined(__i386__) && !defined(__SSE2__)
#include <cpuid.h>
#endif

namespace {

constexpr std::size_t kBlockSize = 64;

void StoreLe32(std::uint8_t* p, std::uint32_t w) {
    p[0] = static_cast<std::uint8_t>(w);
    p[1] = static_cast<std::uint8_t>(w >> 8);
    p[2] = static_cast<std::uint8_t>(w >> 16);
    p[3] = static_cast<std::uint8_t>(w >> 24);
}

std::uint32_t LoadLe32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint32_t LoadBe32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | static_cast<std::uint32_t>(p[3]);
}

// MD4 and MD5 digests are their chaining words A..D, little-endian; the fold
// xors the two 8-byte halves, i.e. A^C and B^D.
void FoldMd(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
            std::uint8_t value[8]) {
    StoreLe32(value, a ^ c);
    StoreLe32(value + 4, b ^ d);
}

// The SHA1 fold stores its words least significant byte first, as the
// published vectors demand, although SHA-1 itself is big-endian.
void FoldSha1(std::uint32_t h0, std::uint32_t h1, std::uint32_t h2, std::uint32_t h3,
              std::uint32_t h4, std::uint8_t value[8]) {
    StoreLe32(value, h0 ^ h2 ^ h4);
    StoreLe32(value + 4, h1 ^ h3);
}

#if defined(__GNUC__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
// One 16-byte store of the step data and the start of its padding: the SHA-NI
// block function loads the block 16 bytes at a time, and a load spanning
// several smaller stores stalls until they reach the cache (a quarter slower).
typedef std::uint32_t BlockHead __attribute__((vector_size(16)));

void StoreStepData(std::uint8_t block[kBlockSize], std::uint32_t w0, std::uint32_t w1) {
    const BlockHead head = {w0, w1, 0x80, 0};
    std::memcpy(block, &head, sizeof head);
}
#else
void StoreStepData(std::uint8_t block[kBlockSize], std::uint32_t w0, std::uint32_t w1) {
    StoreLe32(block, w0);
    StoreLe32(block + 4, w1);
}
#endif

// A step hashes exactly 8 bytes, which pad to one block: the data, 0x80,
// zeros, and the bit length 64 in the hash's byte order. Only the first 8
// bytes change from step to step, so one compression per step suffices.
void PadStepBlock(std::uint8_t block[kBlockSize], bool bigEndianLength) {
    std::memset(block + 8, 0, kBlockSize - 8);
    block[8] = 0x80;
    block[bigEndianLength ? kBlockSize - 1 : kBlockSize - 8] = 64;
}

// Runs `count` steps of `Loop` on `value` in place, from a block padded once.
template <typename Ctx, void (*Loop)(std::uint8_t*, Ctx&, std::uint32_t)>
void ChainSteps(std::uint8_t value[8], std::uint32_t count, bool bigEndianLength) {
    if (count == 0) return;
    std::uint8_t block[kBlockSize];
    std::memcpy(block, value, 8);
    PadStepBlock(block, bigEndianLength);
    Ctx ctx{};
    Loop(block, ctx, count);
    std::memcpy(value, block, 8);
    // Earlier values of the chain are the user's next passwords.
    OPENSSL_cleanse(block, sizeof block);
    OPENSSL_cleanse(&ctx, sizeof ctx);
}

template <typename Ctx, void (*Transform)(Ctx*, const unsigned char*)>
void MdStepLoop(std::uint8_t block[kBlockSize], Ctx& ctx, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
        ctx.A = 0x67452301U;
        ctx.B = 0xefcdab89U;
        ctx.C = 0x98badcfeU;
        ctx.D = 0x10325476U;
        Transform(&ctx, block);
        StoreStepData(block, ctx.A ^ ctx.C, ctx.B ^ ctx.D);
    }
}

#if defined(__GNUC__)
#define VANTRETH_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define VANTRETH_ALWAYS_INLINE inline
#endif

VANTRETH_ALWAYS_INLINE void Sha1StepLoop(std::uint8_t block[kBlockSize], SHA_CTX& ctx,
                                         std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
        ctx.h0 = 0x67452301U;
        ctx.h1 = 0xefcdab89U;
        ctx.h2 = 0x98badcfeU;
        ctx.h3 = 0x10325476U;
        ctx.h4 = 0xc3d2e1f0U;
        SHA1_Transform(&ctx, block);
        StoreStepData(block, ctx.h0 ^ ctx.h2 ^ ctx.h4, ctx.h1 ^ ctx.h3);
    }
}

#if defined(__GNUC__) && defined(__i386__) && !defined(__SSE2__)
// The 32-bit build may not assume SSE2, without which the 16-byte store is
// four; where the processor has it (all that have SHA-NI do), use it.
__attribute__((target("sse2"))) void Sha1StepLoopSse2(std::uint8_t block[kBlockSize], SHA_CTX& ctx,
                                                      std::uint32_t count) {
    Sha1StepLoop(block, ctx, count);
}

// CPUID leaf 1, EDX bit 26, asked directly: __builtin_cpu_supports links 5 KB of processor
// tables for this one bit. 0 until asked, then 1 (no) or 2 (yes); threads that race here find
// the same answer.
std::atomic<int> sse2Known{0};

bool HasSse2() {
    int known = sse2Known.load(std::memory_order_relaxed);
    if (known == 0) {
        unsigned a = 0, b = 0, c = 0, d = 0;
        known = __get_cpuid(1, &a, &b, &c, &d) != 0 && (d & bit_SSE2) != 0 ? 2 : 1;
        sse2Known.store(known, std::memory_order_relaxed);
    }
    return known == 2;
}

void RunSha1Steps(std::uint8_t block[kBlockSize], SHA_CTX& ctx, std::uint32_t count) {
    if (HasSse2()) {
        Sha1StepLoopSse2(block, ctx, count);
    } else {
        Sha1StepLoop(block, ctx, count);
    }
}
#else
void RunSha1Steps(std::uint8_t block[kBlockSize], SHA_CTX& ctx, std::uint32_t count) {
    Sha1StepLoop(block, ctx, count);
}
#endif

bool ValidArguments(const char* seed, const char* passPhrase, const void* out) {
    return seed != nullptr && passPhrase != nullptr && out != nullptr;
}

// The seed goes to the hash with its ASCII capitals folded, a block at a time, so that a seed
// of any length needs no more room than this; the folded copy is wiped like the rest.
template <typename Ctx, int (*Update)(Ctx*, const void*, std::size_t)>
void UpdateWithFoldedSeed(Ctx* ctx, const char* seed) {
    char folded[kBlockSize];
    for (std::size_t left = std::strlen(seed); left > 0;) {
        const std::size_t take = left < sizeof folded ? left : sizeof folded;
        for (std::size_t i = 0; i < take; ++i)
            folded[i] = AsciiLower(seed[i]);
        Update(ctx, folded, take);
        seed += take;
        left -= take;
    }
    OPENSSL_cleanse(folded, sizeof folded);
}

void FoldMdDigest(const std::uint8_t* digest, std::uint8_t value[8]) {
    FoldMd(LoadLe32(digest), LoadLe32(digest + 4), LoadLe32(digest + 8), LoadLe32(digest + 12),
           value);
}

void FoldSha1Digest(const std::uint8_t* digest, std::uint8_t value[8]) {
    FoldSha1(LoadBe32(digest), LoadBe32(digest + 4), LoadBe32(digest + 8), LoadBe32(digest + 12),
             LoadBe32(digest + 16), value);
}

// The three hashes share their interface; only the digest's length and fold differ.
template <typename Ctx, int (*Init)(Ctx*), int (*Update)(Ctx*, const void*, std::size_t),
          int (*Final)(unsigned char*, Ctx*), std::size_t DigestLength,
          void (*Fold)(const std::uint8_t*, std::uint8_t[8])>
void CrunchWith(const char* seed, const char* passPhrase, std::uint8_t value[8]) {
    Ctx ctx;
    std::uint8_t digest[DigestLength];
    Init(&ctx);
    UpdateWithFoldedSeed<Ctx, Update>(&ctx, seed);
    Update(&ctx, passPhrase, std::strlen(passPhrase));
    Final(digest, &ctx);
    Fold(digest, value);
    OPENSSL_cleanse(&ctx, sizeof ctx);
    OPENSSL_cleanse(digest, sizeof digest);
}

constexpr auto CrunchMd4 =
    CrunchWith<MD4_CTX, MD4_Init, MD4_Update, MD4_Final, MD4_DIGEST_LENGTH, FoldMdDigest>;
constexpr auto CrunchMd5 =
    CrunchWith<MD5_CTX, MD5_Init, MD5_Update, MD5_Final, MD5_DIGEST_LENGTH, FoldMdDigest>;
constexpr auto CrunchSha1 =
    CrunchWith<SHA_CTX, SHA1_Init, SHA1_Update, SHA1_Final, SHA_DIGEST_LENGTH, FoldSha1Digest>;

// The crunch of seed and pass phrase into `value`; false when the kind refuses
// the text (MD4 takes at most kMd4CrunchLimit bytes) or is no hash.
bool Crunch(HashKind kind, const char* seed, const char* passPhrase, std::uint8_t value[8]) {
    switch (kind) {
    case HashKind::MD4: {
        const std::size_t seedLength = std::strlen(seed);
        const std::size_t passLength = std::strlen(passPhrase);
        if (seedLength > kMd4CrunchLimit || passLength > kMd4CrunchLimit - seedLength) {
            return false;
        }
        CrunchMd4(seed, passPhrase, value);
        return true;
    }
    case HashKind::MD5: CrunchMd5(seed, passPhrase, value); return true;
    case HashKind::SHA1: CrunchSha1(seed, passPhrase, value); return true;
    default: return false;
    }
}

void WriteResponse(const std::uint8_t value[8], char* response) {
    const char* text = EncodeSixWords(value);
    std::memcpy(response, text, std::strlen(text) + 1);
}

} // namespace

void OtpSteps(HashKind kind, std::uint8_t value[8], std::uint32_t count) {
    switch (kind) {
    case HashKind::MD4:
        ChainSteps<MD4_CTX, MdStepLoop<MD4_CTX, MD4_Transform>>(value, count, false);
        break;
    case HashKind::MD5:
        ChainSteps<MD5_CTX, MdStepLoop<MD5_CTX, MD5_Transform>>(value, count, false);
        break;
    case HashKind::SHA1: ChainSteps<SHA_CTX, RunSha1Steps>(value, count, true); break;
    case HashKind::SNK: break;
    }
}

int ComputeOtpValue(HashKind kind, std::uint32_t count, const char* seed, const char* passPhrase,
                    std::uint8_t value[8]) {
    if (!ValidArguments(seed, passPhrase, value)) return kOtpCrunchFailed;
    std::uint8_t work[8];
    if (!Crunch(kind, seed, passPhrase, work)) return kOtpCrunchFailed;
    OtpSteps(kind, work, count);
    std::memcpy(value, work, sizeof work);
    OPENSSL_cleanse(work, sizeof work);
    return kOtpOk;
}

std::uint32_t OtpChainSteps(const OtpChain& chain) {
    return chain.check > chain.high ? chain.check : chain.high;
}

namespace {

bool ChainWants(const OtpChain& chain, std::uint32_t count) {
    return count == chain.check || (count >= chain.low && count <= chain.high);
}

// The next count after `at` whose value the chain keeps, or `limit` if that comes first.
std::uint32_t NextWanted(const OtpChain& chain, std::uint32_t at, std::uint32_t limit) {
    std::uint32_t next = limit;
    if (at < chain.low) {
        next = chain.low < next ? chain.low : next;
    } else if (at < chain.high) {
        next = at + 1 < next ? at + 1 : next;
    }
    if (chain.check > at && chain.check < next) next = chain.check;
    return next;
}

void Keep(OtpChain& chain, std::uint32_t count, const std::uint8_t value[8]) {
    if (count >= chain.low && count <= chain.high)
        std::memcpy(chain.values[count - chain.low], value, 8);
    if (count == chain.check) std::memcpy(chain.checkValue, value, 8);
}

} // namespace

int ComputeOtpChain(HashKind kind, const char* seed, const char* passPhrase, OtpChain& chain,
                    OtpProgress& progress, std::uint32_t sliceSteps) {
    if (!ValidArguments(seed, passPhrase, &chain) || sliceSteps == 0 || chain.low > chain.high ||
        chain.high - chain.low >= kChainLimit)
        return kOtpCrunchFailed;
    std::uint8_t work[8];
    if (!Crunch(kind, seed, passPhrase, work)) return kOtpCrunchFailed;
    const std::uint32_t end = OtpChainSteps(chain);
    std::uint32_t at = 0;
    if (ChainWants(chain, at)) Keep(chain, at, work);
    int result = kOtpOk;
    while (at < end) {
        if (progress.stopRequested.load(std::memory_order_relaxed)) {
            result = kOtpStopped;
            break;
        }
        const std::uint32_t sliceEnd = end - at < sliceSteps ? end : at + sliceSteps;
        while (at < sliceEnd) {
            const std::uint32_t next = NextWanted(chain, at, sliceEnd);
            OtpSteps(kind, work, next - at);
            at = next;
            if (ChainWants(chain, at)) Keep(chain, at, work);
        }
        progress.stepsDone.store(at, std::memory_order_relaxed);
    }
    OPENSSL_cleanse(work, sizeof work);
    if (result == kOtpStopped) {
        OPENSSL_cleanse(chain.values, sizeof chain.values);
        OPENSSL_cleanse(chain.checkValue, sizeof chain.checkValue);
    }
    return result;
}

int ComputeOtp(HashKind kind, std::uint32_t count, const char* seed, const char* passPhrase,
               char* response) {
    if (response == nullptr) return kOtpCrunchFailed;
    std::uint8_t value[8];
    if (ComputeOtpValue(kind, count, seed, passPhrase, value) != kOtpOk) return kOtpCrunchFailed;
    WriteResponse(value, response);
    OPENSSL_cleanse(value, sizeof value);
    return kOtpOk;
}

int ComputeMd5Otp(std::uint32_t count, const char* seed, const char* passPhrase, char* response) {
    return ComputeOtp(HashKind::MD5, count, seed, passPhrase, response);
}

int ComputeMd4Otp(std::uint32_t count, const char* seed, const char* passPhrase, char* response) {
    return ComputeOtp(HashKind::MD4, count, seed, passPhrase, response);
}

int ComputeSha1Otp(std::uint32_t count, const char* seed, const char* passPhrase, char* response) {
    return ComputeOtp(HashKind::SHA1, count, seed, passPhrase, response);
}
