#pragma once
#include <cstddef>
#include <cstdint>

constexpr std::size_t kSnkResponseSize = 9; // eight hex digits and the NUL

// Writes the eight lower-case hex digits and a NUL into `response`
// (kSnkResponseSize bytes at least). Only the first eight challenge
// characters count.
void SnkChallengeResponse(const char* challenge, const std::uint8_t key[8], char* response);

enum class SnkResult { Ok, RegistryError, BadPassword };

// The whole response after the record read: `recordRead` false when the key
// or value could not be read. `response` is written only on Ok. The caller
// still wipes its own record and password buffers. Message texts for the
// failures are below.
SnkResult SnkResponseFromRecord(bool recordRead, const std::uint8_t* record, std::size_t length,
                                const char* challenge, const char* password, char* response);

extern const char
    kSnkRegistryReadError[];         // "Error reading registry.\nPlease restart the application."
extern const char kSnkBadPassword[]; // "Bad Password"
