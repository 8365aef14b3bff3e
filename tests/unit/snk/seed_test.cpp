#include "snk/snk_seed.h"

#include <gtest/gtest.h>

#include "snk_vectors.h"

namespace {

struct SeedCase {
    const char* text;
    bool valid;
};

const SeedCase kSeedCases[] = {
    {"123 045 377 000 111 222 333 001", true},
    {"377 377 377 377 377 377 377 377", true},
    {"099 000 000 000 000 000 000 000", true},  // digits 8 and 9 pass
    {"400 000 000 000 000 000 000 000", false}, // 256
    {"000 000 000 000 000 000 000 400", false}, // last group checked too
    {"123\t045 377 000 111 222 333 001", false},
    {"123 045 377 000 111 222 333 00", false},
    {"123 045 377 000 111 222 333 0011", false},
    {" 123 045 377 000 111 222 333 00", false},
    {"123 045 377 000 111 222 333 001 ", false},
    {"123 045 377 000 111 222 333 0/1", false}, // one below '0'
    {"123 045 377 000 111 222 333 0:1", false}, // one above '9'
    {"123 045 377 000 111 222 333 0\xb1"
     "1",
     false}, // '1' with the eighth bit set
    {"123 045 377 000 111 222 333\xa0"
     "001",
     false}, // blank with the eighth bit set
    {"123_045 377 000 111 222 333 001", false},
    {"", false},
};

TEST(SnkSeed, ValidityTable) {
    for (const SeedCase& c : kSeedCases) {
        EXPECT_EQ(IsValidSnkSeed(c.text), c.valid) << '"' << c.text << '"';
    }
}

struct KeyCase {
    const char* text;
    const char* key;
};

const KeyCase kKeyCases[] = {
    {"123 045 377 000 111 222 333 001", "5325ff004992db01"},
    {"099 018 020 377 007 070 100 010", "511010ff07384008"},
    {"000 000 000 000 000 000 000 000", "0000000000000000"},
};

TEST(SnkSeed, KeyTable) {
    for (const KeyCase& c : kKeyCases) {
        ASSERT_TRUE(IsValidSnkSeed(c.text)) << c.text;
        std::uint8_t key[8] = {};
        SnkSeedToKey(c.text, key);
        EXPECT_EQ(ToHex(key, 8), c.key) << c.text;
    }
}

} // namespace
