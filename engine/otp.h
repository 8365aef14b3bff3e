#pragma once
#include <cstddef>
#include <cstdint>

constexpr std::size_t kResponseSize = 64;
constexpr int kOtpOk = 0;
constexpr int kOtpCrunchFailed = 2;

// Each writes the six-word response into `response` (kResponseSize bytes) and
// returns kOtpOk, or returns kOtpCrunchFailed and leaves `response` untouched.
// Seed and pass phrase are hashed byte for byte as given.
int ComputeMd5Otp(std::uint32_t count, const char* seed, const char* passPhrase, char* response);
int ComputeMd4Otp(std::uint32_t count, const char* seed, const char* passPhrase, char* response);
int ComputeSha1Otp(std::uint32_t count, const char* seed, const char* passPhrase, char* response);
