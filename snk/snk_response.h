#pragma once
#include <cstddef>
#include <cstdint>

constexpr std::size_t kSnkResponseSize = 9; // eight hex digits and the NUL

// Writes the eight lower-case hex digits and a NUL into `response`
// (kSnkResponseSize bytes at least). Only the first eight challenge
// characters count.
void SnkChallengeResponse(const char* challenge, const std::uint8_t key[8], char* response);

enum class SnkResult { Ok, BadPassword };

// The whole response from the `length` bytes of a stored record. `response`
// is written only on Ok. The caller still wipes its own record and password
// buffers.
SnkResult SnkResponseFromRecord(const std::uint8_t* record, std::size_t length,
                                const char* challenge, const char* password, char* response);
