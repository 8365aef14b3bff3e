#pragma once
// Small helpers shared by the fuzz targets.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

// Aborts with a message, so that libFuzzer records the input as a crash.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// An exact-size NUL-terminated copy, so that ASan sees any read past the end.
inline std::vector<char> TerminatedCopy(const std::uint8_t* data, std::size_t size) {
    std::vector<char> text(size + 1);
    if (size != 0) std::memcpy(text.data(), data, size);
    text[size] = '\0';
    return text;
}

// Splits the input at the first byte 0xFF into a leading field and the rest.
// Lets one input carry several texts without a fixed layout.
struct Split {
    const std::uint8_t* head;
    std::size_t headSize;
    const std::uint8_t* tail;
    std::size_t tailSize;
};

inline Split SplitAtMarker(const std::uint8_t* data, std::size_t size) {
    const void* marker = size != 0 ? std::memchr(data, 0xFF, size) : nullptr;
    if (marker == nullptr) return Split{data, size, data + size, 0};
    const std::size_t at =
        static_cast<std::size_t>(static_cast<const std::uint8_t*>(marker) - data);
    return Split{data, at, data + at + 1, size - at - 1};
}
