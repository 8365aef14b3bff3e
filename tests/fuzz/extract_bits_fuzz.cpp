#include <cstring>

#include "engine/six_words.h"
#include "tests/fuzz/fuzz_support.h"

// Input: start bit, length, then up to 12 bytes (the encoder's work area size).

namespace {

constexpr std::size_t kAreaSize = 12;

unsigned ExpectedBits(const std::uint8_t* bytes, unsigned start, unsigned length) {
    unsigned field = 0;
    for (unsigned bit = start; bit < start + length; ++bit)
        field = field << 1 | ((bytes[bit / 8] >> (7 - bit % 8)) & 1u);
    return field;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // The three-byte window must lie inside the area: start / 8 + 2 < 12.
    const unsigned start = data[0] % ((kAreaSize - 2) * 8);
    const unsigned length = 1 + data[1] % 16;
    std::uint8_t area[kAreaSize] = {};
    const std::size_t rest = size - 2;
    std::memcpy(area, data + 2, rest < kAreaSize ? rest : kAreaSize);

    const unsigned field = ExtractBits(area, start, length);
    FUZZ_CHECK(field < (1u << length));
    FUZZ_CHECK(field == ExpectedBits(area, start, length));

    // Bytes of the window beyond the field leave the result alone.
    const unsigned lastByte = (start + length - 1) / 8;
    for (unsigned i = lastByte + 1; i < kAreaSize; ++i)
        area[i] = static_cast<std::uint8_t>(~area[i]);
    FUZZ_CHECK(ExtractBits(area, start, length) == field);
    return 0;
}
