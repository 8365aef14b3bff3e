#pragma once
#include <cstdint>

constexpr int kSnkSeedLength = 31;

// Eight groups of three digits separated by single blanks, each group <= 255
// read with octal-like weights. `text` is NUL-terminated; at most 32 bytes of
// it are looked at.
bool IsValidSnkSeed(const char* text);

// Defined only for texts that pass IsValidSnkSeed.
void SnkSeedToKey(const char* text, std::uint8_t key[8]);
