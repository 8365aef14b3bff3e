#include <cstring>

#include "snk/snk_seed.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// The seed-text rules read a second time, group by group.
bool ExpectedValid(const char* text, std::uint8_t key[8]) {
    if (std::strlen(text) != kSnkSeedLength) return false;
    for (int g = 0; g < 8; ++g) {
        const char* group = text + 4 * g;
        if (g < 7 && group[3] != ' ') return false;
        int value = 0;
        for (int i = 0; i < 3; ++i) {
            const unsigned char c = static_cast<unsigned char>(group[i]);
            if (c < '0' || c > '9') return false;
            value = value * 8 + (c - '0');
        }
        if (value > 255) return false;
        key[g] = static_cast<std::uint8_t>(value);
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<char> copy = TerminatedCopy(data, size);
    const char* text = copy.data();

    std::uint8_t expectedKey[8] = {};
    const bool expected = ExpectedValid(text, expectedKey);
    const bool valid = IsValidSnkSeed(text);
    FUZZ_CHECK(valid == expected);
    if (!valid) return 0;

    std::uint8_t key[8];
    std::memset(key, 0xA5, sizeof key);
    SnkSeedToKey(text, key);
    for (int g = 0; g < 8; ++g) {
        const int d0 = text[4 * g] - '0';
        const int d1 = text[4 * g + 1] - '0';
        const int d2 = text[4 * g + 2] - '0';
        FUZZ_CHECK(key[g] == 64 * d0 + 8 * d1 + d2);
        FUZZ_CHECK(key[g] == expectedKey[g]);
    }
    return 0;
}
