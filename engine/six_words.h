#pragma once
#include <cstdint>

// The 2048-word dictionary, 5 bytes an entry (up to four letters, zero padded).
extern const char kDictionary[2048][5];

// Returns the six-word form of an 8-byte OtpValue in a static buffer that the
// next call overwrites; at most 29 characters.
const char* EncodeSixWords(const std::uint8_t value[8]);
// Clears that buffer: the words of a response not yet used are a password.
void WipeSixWords();

// The field of `length` (1..16) bits at bit `start`, most significant bit first.
unsigned ExtractBits(const std::uint8_t* bytes, unsigned start, unsigned length);
