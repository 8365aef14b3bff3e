#pragma once
// What each sequence writer does, for the driver to check.
#include <cstdint>

constexpr int kWriters = 5;
constexpr int kWritesEach = 10;
// The count writer `number` answers of the shared sequence at its write `i`: each lower than the
// last, and no two writers alike; the lowest is the last of the last writer.
inline std::uint32_t SharedCount(int number, int i) {
    return static_cast<std::uint32_t>(1000 - i * kWriters - number);
}
