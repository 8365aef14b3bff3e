#pragma once
#include <cstdint>

constexpr int kWriters = 5;
constexpr int kWritesEach = 10;
// Writer `number`'s count of the shared sequence at its write `i`: rising, as stale writes come.
inline std::uint32_t SharedCount(int number, int i) {
    return static_cast<std::uint32_t>(900 + i * kWriters + number);
}
