#include <cstring>
#include <string>
#include <unordered_map>

#include "engine/six_words.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// Word to index, built once: a linear search per word would slow the run tenfold.
int DictionaryIndex(const char* word, std::size_t length) {
    static const std::unordered_map<std::string, int> index = [] {
        std::unordered_map<std::string, int> map;
        for (int i = 0; i < 2048; ++i)
            map.emplace(std::string(kDictionary[i], strnlen(kDictionary[i], 5)), i);
        return map;
    }();
    const auto found = index.find(std::string(word, length));
    return found != index.end() ? found->second : -1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::uint8_t value[8] = {};
    std::memcpy(value, data, size < 8 ? size : 8);

    const char* text = EncodeSixWords(value);
    FUZZ_CHECK(text != nullptr);
    const std::size_t length = strnlen(text, 64);
    FUZZ_CHECK(length <= 29);
    FUZZ_CHECK(length >= 11); // six words of at least one letter
    FUZZ_CHECK(text[0] != ' ' && text[length - 1] != ' ');

    // Decode the words back into 66 bits; they must give the value and its checksum.
    std::uint8_t bits[9] = {};
    unsigned bit = 0;
    int words = 0;
    const char* p = text;
    while (*p != '\0') {
        const char* end = std::strchr(p, ' ');
        const std::size_t wordLength =
            end != nullptr ? static_cast<std::size_t>(end - p) : std::strlen(p);
        FUZZ_CHECK(wordLength >= 1 && wordLength <= 4);
        const int index = DictionaryIndex(p, wordLength);
        FUZZ_CHECK(index >= 0);
        FUZZ_CHECK(words < 6);
        for (int b = 10; b >= 0; --b, ++bit) {
            if ((index >> b) & 1) bits[bit / 8] |= static_cast<std::uint8_t>(0x80u >> (bit % 8));
        }
        ++words;
        if (end == nullptr) break;
        FUZZ_CHECK(end[1] != ' ' && end[1] != '\0'); // single blanks, none trailing
        p = end + 1;
    }
    FUZZ_CHECK(words == 6);
    FUZZ_CHECK(std::memcmp(bits, value, 8) == 0);

    unsigned sum = 0;
    for (std::uint8_t byte : value) {
        for (int shift = 6; shift >= 0; shift -= 2)
            sum += (byte >> shift) & 3u;
    }
    FUZZ_CHECK(bits[8] >> 6 == (sum & 3u));

    // The text is stable: a second call with the same value gives the same words.
    char first[30] = {};
    std::memcpy(first, text, length);
    FUZZ_CHECK(std::strcmp(EncodeSixWords(value), first) == 0);
    return 0;
}
