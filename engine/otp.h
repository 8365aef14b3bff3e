#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "engine/hash_kind.h"

// A response, or the renewal line that answers a challenge with a new sequence's response in it.
constexpr std::size_t kResponseSize = 128;
constexpr int kOtpOk = 0;
constexpr int kOtpStopped = 1;
constexpr int kOtpCrunchFailed = 2;
// MD4 hashes seed and pass phrase of at most this many bytes together.
constexpr std::size_t kMd4CrunchLimit = 64;

// Writes the six-word response of `kind` (MD4, MD5 or SHA1) into `response` (kResponseSize
// bytes) and returns kOtpOk, or returns kOtpCrunchFailed and leaves `response` untouched.
// The seed's letters A to Z count as a to z, as RFC 2289 asks of every seed; every other
// byte of seed and pass phrase is hashed as it is.
int ComputeOtp(HashKind kind, std::uint32_t count, const char* seed, const char* passPhrase,
               char* response);
// The same, one kind each: the engine's entry points for the three hashes.
int ComputeMd5Otp(std::uint32_t count, const char* seed, const char* passPhrase, char* response);
int ComputeMd4Otp(std::uint32_t count, const char* seed, const char* passPhrase, char* response);
int ComputeSha1Otp(std::uint32_t count, const char* seed, const char* passPhrase, char* response);

// Steps between two looks at a stop request: milliseconds of work, so that a
// stop takes effect at once while the step loop keeps its speed.
constexpr std::uint32_t kOtpSliceSteps = 1u << 16;

// Shared by the thread that runs a computation in slices and the one watching it.
struct OtpProgress {
    std::atomic<bool> stopRequested{false};
    std::atomic<std::uint32_t> stepsDone{0};
};

// The most values one chain gives: a list of responses.
constexpr std::uint32_t kChainLimit = 100;

// The 64-bit values of counts `low` to `high` (at most kChainLimit of them), and of `check`
// too unless it is 0; values[i] is the value of count low + i.
struct OtpChain {
    std::uint32_t low;
    std::uint32_t high;
    std::uint32_t check;
    std::uint8_t values[kChainLimit][8];
    std::uint8_t checkValue[8];
};

// The steps a chain costs after its crunch: up to its highest count, max(high, check).
std::uint32_t OtpChainSteps(const OtpChain& chain);

// One crunch, then the steps up to the chain's highest count, keeping each value asked for on
// the way, in slices of `sliceSteps`: after each slice it publishes the steps done so far and
// looks for a stop request. Returns kOtpOk, kOtpStopped with the values wiped, or
// kOtpCrunchFailed (also for low above high or more than kChainLimit values) with them
// untouched.
int ComputeOtpChain(HashKind kind, const char* seed, const char* passPhrase, OtpChain& chain,
                    OtpProgress& progress, std::uint32_t sliceSteps = kOtpSliceSteps);
