#include "engine/six_words.h"

#include <cstring>

#include <openssl/crypto.h>

namespace {

constexpr std::size_t kWorkSize = 12;
constexpr std::size_t kTextSize = 30; // six words of four letters, five blanks, terminator
constexpr unsigned kIndexBits = 11;
constexpr std::size_t kWordLength = 4;

char sText[kTextSize];

} // namespace

unsigned ExtractBits(const std::uint8_t* bytes, unsigned start, unsigned length) {
    // Lengths beyond 16 would shift by a negative amount.
    if (bytes == nullptr || length == 0 || length > 16) return 0;
    const std::uint8_t* p = bytes + start / 8;
    const unsigned window = static_cast<unsigned>(p[0]) << 16 | static_cast<unsigned>(p[1]) << 8 |
                            static_cast<unsigned>(p[2]);
    return (window >> (24 - start % 8 - length)) & (0xFFFFU >> (16 - length));
}

const char* EncodeSixWords(const std::uint8_t value[8]) {
    std::memset(sText, 0, sizeof sText);
    std::uint8_t work[kWorkSize] = {};
    std::memcpy(work, value, 8);

    unsigned sum = 0;
    for (unsigned bit = 0; bit < 64; bit += 2)
        sum += ExtractBits(work, bit, 2);
    work[8] = static_cast<std::uint8_t>(sum << 6);

    std::size_t length = 0;
    for (unsigned k = 0; k < 6; ++k) {
        const char* word = kDictionary[ExtractBits(work, kIndexBits * k, kIndexBits)];
        for (std::size_t i = 0; i < kWordLength && word[i] != '\0'; ++i)
            sText[length++] = word[i];
        if (k < 5) sText[length++] = ' ';
    }
    return sText;
}

void WipeSixWords() {
    OPENSSL_cleanse(sText, sizeof sText);
}
