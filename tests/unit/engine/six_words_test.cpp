#include "engine/six_words.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct EncodeCase {
    std::uint8_t value[8];
    const char* words;
};

const EncodeCase kEncodeCases[] = {
    {{0, 0, 0, 0, 0, 0, 0, 0}, "A A A A A A"},
    {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, "YOKE YOKE YOKE YOKE YOKE YEAR"},
    {{0, 0, 0, 0, 0, 0, 0, 1}, "A A A A A ADA"},
    {{0x80, 0, 0, 0, 0, 0, 0, 0}, "FILE A A A A ACE"},
    // RFC 2289 pairs of value and words.
    {{0xD1, 0x85, 0x42, 0x18, 0xEB, 0xBB, 0x0B, 0x51}, "ROME MUG FRED SCAN LIVE LACE"},
    {{0x27, 0xBC, 0x71, 0x03, 0x5A, 0xAF, 0x3D, 0xC6}, "MAY STAR TIN LYON VEDA STAN"},
    {{0xB2, 0x03, 0xE2, 0x8F, 0xA5, 0x25, 0xBE, 0x47}, "LONG IVY JULY AJAR BOND LEE"},
};

class Encode : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(Encode, GivesTheWords) {
    EXPECT_STREQ(GetParam().words, EncodeSixWords(GetParam().value));
}

INSTANTIATE_TEST_SUITE_P(Values, Encode, ::testing::ValuesIn(kEncodeCases));

TEST(Encode, ShorterTextAfterLongerLeavesNoRemnant) {
    const std::uint8_t ones[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const std::uint8_t zeros[8] = {};
    EXPECT_EQ(29u, std::strlen(EncodeSixWords(ones)));
    EXPECT_STREQ("A A A A A A", EncodeSixWords(zeros));
}

TEST(Encode, ChecksumFillsTheLastIndex) {
    // Bits 55..63 hold 2 (checksum 2) or 3 (checksum 3): last index (2 << 2) | 2 = 10,
    // (3 << 2) | 3 = 15.
    const std::uint8_t two[8] = {0, 0, 0, 0, 0, 0, 0, 2};
    const std::uint8_t three[8] = {0, 0, 0, 0, 0, 0, 0, 3};
    EXPECT_STREQ("A A A A A AIR", EncodeSixWords(two));
    EXPECT_STREQ("A A A A A AN", EncodeSixWords(three));
}

struct BitsCase {
    std::uint8_t bytes[4];
    unsigned start;
    unsigned length;
    unsigned expected;
};

const BitsCase kBitsCases[] = {
    {{0x80, 0x00, 0x00, 0x00}, 0, 1, 1},
    {{0x7F, 0xFF, 0xFF, 0x00}, 0, 1, 0},
    {{0x01, 0x00, 0x00, 0x00}, 7, 1, 1},
    {{0xAB, 0xCD, 0xEF, 0x00}, 0, 16, 0xABCD},
    {{0xAB, 0xCD, 0xEF, 0x00}, 8, 16, 0xCDEF},
    // Start 7 with 16 bits spans all three bytes of the window.
    {{0x01, 0xFF, 0xFE, 0x00}, 7, 16, 0xFFFF},
    {{0x00, 0x00, 0x01, 0x00}, 7, 16, 0x0000},
    {{0xFF, 0x00, 0x00, 0xFF}, 7, 16, 0x8000},
    {{0xFF, 0xE0, 0xFF, 0xFF}, 0, 11, 0x7FF},
    {{0xFF, 0xC0, 0x00, 0x00}, 0, 11, 0x7FE},
    {{0x00, 0x3F, 0xF8, 0x00}, 10, 11, 0x7FF},
    {{0xC0, 0x00, 0x00, 0x00}, 0, 2, 3},
    {{0x03, 0x00, 0x00, 0x00}, 6, 2, 3},
    {{0x01, 0x80, 0x00, 0x00}, 7, 2, 3},
    {{0x01, 0x80, 0x00, 0x00}, 8, 2, 2},
    // Lengths outside 1..16 yield 0 instead of shifting by a negative amount.
    {{0xFF, 0xFF, 0xFF, 0xFF}, 0, 0, 0},
    {{0xFF, 0xFF, 0xFF, 0xFF}, 0, 17, 0},
};

class Bits : public ::testing::TestWithParam<BitsCase> {};

TEST_P(Bits, ExtractsTheField) {
    const BitsCase& c = GetParam();
    EXPECT_EQ(c.expected, ExtractBits(c.bytes, c.start, c.length));
}

INSTANTIATE_TEST_SUITE_P(Fields, Bits, ::testing::ValuesIn(kBitsCases));

TEST(Bits, WindowBytesBeyondTheFieldDoNotMatter) {
    // The sixth index reads bytes 6 to 8; the checksum's last pair bytes 7 to 9.
    for (unsigned start : {55u, 62u}) {
        for (unsigned length : {2u, 11u}) {
            if (start == 62 && length == 11) continue;
            std::uint8_t clean[12] = {0, 0, 0, 0, 0, 0, 0x5A, 0xC3, 0x80, 0, 0, 0};
            std::uint8_t noisy[12];
            std::memcpy(noisy, clean, sizeof clean);
            const unsigned end = start + length; // first bit past the field
            for (unsigned bit = end; bit < 96; ++bit)
                noisy[bit / 8] |= 0x80 >> (bit % 8);
            EXPECT_EQ(ExtractBits(clean, start, length), ExtractBits(noisy, start, length))
                << "start " << start << " length " << length;
        }
    }
}

} // namespace
