#include "snk/snk_seed.h"

namespace {

constexpr int kGroupCount = 8;

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

} // namespace

bool IsValidSnkSeed(const char* text) {
    if (text == nullptr) return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    // Stops at the first NUL, so a shorter text is never read past its end.
    int length = 0;
    while (length <= kSnkSeedLength && bytes[length] != 0)
        ++length;
    if (length != kSnkSeedLength) return false;
    for (int g = 0; g < kGroupCount; ++g) {
        const unsigned char* group = bytes + 4 * g;
        if (g > 0 && group[-1] != ' ') return false;
        if (!IsDigit(group[0]) || !IsDigit(group[1]) || !IsDigit(group[2])) return false;
        const int value = 64 * (group[0] - '0') + 8 * (group[1] - '0') + (group[2] - '0');
        if (value > 255) return false;
    }
    return true;
}

void SnkSeedToKey(const char* text, std::uint8_t key[8]) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    for (int g = 0; g < kGroupCount; ++g) {
        const unsigned c0 = bytes[4 * g];
        const unsigned c1 = bytes[4 * g + 1];
        const unsigned c2 = bytes[4 * g + 2];
        // The +10 cancels the three '0' offsets modulo 256.
        key[g] = static_cast<std::uint8_t>(((8 * c0 + c1 + 10) * 8 + c2) & 0xFFu);
    }
}
