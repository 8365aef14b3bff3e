#pragma once
// What each sequence writer does, for the driver to check.
#include <cstdint>

constexpr int kWriters = 5;
constexpr int kWritesEach = 10;
// The count writer `number` answers of the shared sequence at its write `i`: rising, as stale
// writes would come, and no two writers alike. The memory keeps the lowest, writer 0's first.
inline std::uint32_t SharedCount(int number, int i) {
    return static_cast<std::uint32_t>(900 + i * kWriters + number);
}
