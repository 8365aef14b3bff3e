#pragma once
#include <cstdint>

constexpr int kWriters = 5;
constexpr int kWritesEach = 10;
// Writer `number`'s count of the shared sequence at its write `i`: rising, as stale writes come.
inline std::uint32_t SharedCount(int number, int i) {
    return static_cast<std::uint32_t>(900 + i * kWriters + number);
}
// Once `event` is set, remembers sequences through the program's own store, as one of several
// processes at once: its own, "w<number>k<i>", and the one they all share. The driver runs it
// for its switch --sequence-writer; 0 when every write was taken.
int WriteSequences(int number, const char* event);
