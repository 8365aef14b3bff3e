#pragma once
#include <cstdint>
#include "engine/hash_kind.h"
#include "engine/otp.h"

// The 64-bit value and the bare step loop, for what needs more than the words: the tests and
// the benchmark.

// Crunch of seed (folded as ComputeOtp folds it) and pass phrase, then `count` steps, into
// `value`. Returns kOtpOk, or kOtpCrunchFailed with `value` untouched. `kind` is MD4, MD5 or SHA1.
int ComputeOtpValue(HashKind kind, std::uint32_t count, const char* seed, const char* passPhrase,
                    std::uint8_t value[8]);

// Applies the step of `kind` (MD4, MD5 or SHA1) `count` times to `value` in place.
void OtpSteps(HashKind kind, std::uint8_t value[8], std::uint32_t count);
